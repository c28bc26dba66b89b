#include "tests/windows/formdriver.h"

#include <commctrl.h>

#include <cctype>
#include <stdexcept>

#include "tests/windows/winutil.h"

namespace sevrik::test {
namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Utf8(const wchar_t* wide) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string utf8(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), n, nullptr, nullptr);
  utf8.resize(static_cast<size_t>(n - 1));
  return utf8;
}

// Memory in the process of a window, for the messages whose pointers the system does not carry
// from one process to another (the list view's, the combo box's list).
class Remote {
 public:
  Remote(HWND window, size_t size) : size_(size) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process_) throw std::runtime_error("OpenProcess failed");
    at_ = ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!at_) throw std::runtime_error("VirtualAllocEx failed");
  }
  ~Remote() {
    ::VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
    ::CloseHandle(process_);
  }
  template <class T>
  T* At(size_t offset = 0) const {
    return reinterpret_cast<T*>(static_cast<char*>(at_) + offset);
  }
  void Write(const void* data, size_t size, size_t offset = 0) const {
    ::WriteProcessMemory(process_, static_cast<char*>(at_) + offset, data, size, nullptr);
  }
  void Read(void* data, size_t size, size_t offset = 0) const {
    ::ReadProcessMemory(process_, static_cast<char*>(at_) + offset, data, size, nullptr);
  }
  std::string ReadText(size_t offset, size_t chars) const {
    std::wstring text(chars, L'\0');
    Read(text.data(), chars * sizeof(wchar_t), offset);
    text.back() = L'\0';
    return Utf8(text.c_str());
  }

 private:
  HANDLE process_ = nullptr;
  void* at_ = nullptr;
  size_t size_;
};

constexpr size_t kTextChars = 4096;
constexpr size_t kTextAt = 1024;  // the text buffer after the structure
constexpr size_t kRemoteSize = kTextAt + kTextChars * sizeof(wchar_t);

struct WindowSearch {
  DWORD pid;
  std::string caption;
  const char* cls;
  HWND found = nullptr;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM data) {
  auto* f = reinterpret_cast<WindowSearch*>(data);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid != f->pid || !::IsWindowVisible(window)) return TRUE;
  if (f->cls) {
    char cls[64] = "";
    ::GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) != f->cls) return TRUE;
  }
  if (TextOf(window) != f->caption) return TRUE;
  f->found = window;
  return FALSE;
}

struct BoxSearch {
  DWORD pid;
  HWND found = nullptr;
  std::string title;  // empty: any
};

BOOL CALLBACK VisitBox(HWND window, LPARAM data) {
  auto* f = reinterpret_cast<BoxSearch*>(data);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  char cls[64] = "";
  ::GetClassNameA(window, cls, sizeof cls);
  if (pid != f->pid || std::string(cls) != "#32770" || !::IsWindowVisible(window)) return TRUE;
  if (!f->title.empty() && TextOf(window) != f->title) return TRUE;
  f->found = window;
  return FALSE;
}

}  // namespace

bool WaitFor(const std::function<bool()>& done, int timeout_ms) {
  for (int waited = 0;; waited += 20) {
    if (done()) return true;
    if (waited >= timeout_ms) return false;
    ::Sleep(20);
  }
}

DrivenProgram::DrivenProgram(const std::string& command_line, const std::string& folder,
                             const std::vector<std::string>& env) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string line = command_line;
  const std::string block = EnvironmentBlock(env);
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, const_cast<char*>(block.c_str()),
                        folder.c_str(), &startup, &info_))
    throw std::runtime_error("cannot start " + command_line);
}

DrivenProgram::~DrivenProgram() {
  if (::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(info_.hProcess, 99);
    ::WaitForSingleObject(info_.hProcess, 10000);
  }
  ::CloseHandle(info_.hProcess);
  ::CloseHandle(info_.hThread);
}

HWND DrivenProgram::Window(const std::string& caption, const char* cls, int timeout_ms, bool settle) const {
  WindowSearch f{info_.dwProcessId, caption, cls};
  WaitFor(
      [&] {
        ::EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&f));
        return f.found != nullptr || Ended().has_value();
      },
      timeout_ms);
  if (f.found && settle) Settle(f.found);
  return f.found;
}

void DrivenProgram::Kill() const {
  ::TerminateProcess(info_.hProcess, 9);
  ::WaitForSingleObject(info_.hProcess, 10000);
}

std::optional<DWORD> DrivenProgram::Ended(int timeout_ms) const {
  if (::WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0) return std::nullopt;
  DWORD status = 0;
  ::GetExitCodeProcess(info_.hProcess, &status);
  return status;
}

void DrivenProgram::Settle(HWND window) const {
  ::Sleep(30);  // the messages posted before are in its queue
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 20000, &result);
  ::WaitForInputIdle(info_.hProcess, 20000);
  ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 20000, &result);
}

HWND ControlOf(HWND form, int id) { return ::GetDlgItem(form, id); }

std::string TextOf(HWND window) {
  wchar_t text[kTextChars] = L"";
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, kTextChars, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 20000, &result);
  return Utf8(text);
}

RECT RectIn(HWND form, HWND control) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

SIZE ClientSize(HWND window) {
  RECT r{};
  ::GetClientRect(window, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

bool HasStyle(HWND window, LONG style) { return (::GetWindowLongW(window, GWL_STYLE) & style) == style; }
bool HasExStyle(HWND window, LONG style) { return (::GetWindowLongW(window, GWL_EXSTYLE) & style) == style; }

int ListRows(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string ListCell(HWND list, int row, int column) {
  Remote remote(list, kRemoteSize);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iSubItem = column;
  item.pszText = remote.At<wchar_t>(kTextAt);
  item.cchTextMax = static_cast<int>(kTextChars);
  remote.Write(&item, sizeof item);
  const LRESULT n = ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.At<LVITEMW>()));
  if (n <= 0) return {};
  return remote.ReadText(kTextAt, std::min(static_cast<size_t>(n) + 1, kTextChars));
}

int ListSelected(HWND list) {
  return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int ListFocused(HWND list) {
  return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

int ListColumnWidth(HWND list, int column) {
  return static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

int ListColumns(HWND list) {
  HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string ListHeader(HWND list, int column) {
  HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  Remote remote(list, kRemoteSize);
  HDITEMW item{};
  item.mask = HDI_TEXT;
  item.pszText = remote.At<wchar_t>(kTextAt);
  item.cchTextMax = static_cast<int>(kTextChars);
  remote.Write(&item, sizeof item);
  if (!::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(remote.At<HDITEMW>())))
    return {};
  return remote.ReadText(kTextAt, kTextChars);
}

int ListTextWidth(HWND list, const std::string& text) {
  Remote remote(list, kRemoteSize);
  const std::wstring wide = Wide(text);
  remote.Write(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t), kTextAt);
  return static_cast<int>(::SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(remote.At<wchar_t>(kTextAt))));
}

int ListTopRow(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0)); }
int ListVisibleRows(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0)); }

void ClickListRow(HWND list, int row) {
  Remote remote(list, kRemoteSize);
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  remote.Write(&item, sizeof item);
  ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.At<LVITEMW>()));
}

void RightClickListRow(HWND form, HWND list, int row) {
  Remote remote(list, kRemoteSize);
  RECT rect{};
  rect.left = LVIR_LABEL;
  remote.Write(&rect, sizeof rect);
  ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.At<RECT>()));
  remote.Read(&rect, sizeof rect);
  POINT at{rect.left + 4, (rect.top + rect.bottom) / 2};
  ::ClientToScreen(list, &at);
  // The list selects the row under the right button and the window system sends the menu's
  // message on its release.
  POINT client = at;
  ::ScreenToClient(list, &client);
  ::PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(client.x, client.y));
  ::PostMessageW(list, WM_RBUTTONUP, 0, MAKELPARAM(client.x, client.y));
  ::PostMessageW(form, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(at.x, at.y));
}

void ClickListHeader(HWND list, int column) {
  HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  int x = 0;
  for (int i = 0; i < column; ++i) x += ListColumnWidth(list, i);
  x += ListColumnWidth(list, column) / 2;
  const LPARAM at = MAKELPARAM(x, 5);
  ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(header, WM_LBUTTONUP, 0, at);
}

std::vector<std::string> ComboEntries(HWND combo) {
  // The system carries CB_GETLBTEXT's text from one process to another.
  std::vector<std::string> entries;
  const int n = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    wchar_t text[512] = L"";
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    entries.push_back(Utf8(text));
  }
  return entries;
}

int ComboSelected(HWND combo) { return static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

void SelectCombo(HWND form, HWND combo, int index) {
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SendMessageW(form, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

RECT ComboField(HWND combo) {
  Remote remote(combo, kRemoteSize);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  remote.Write(&info, sizeof info);
  ::SendMessageW(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(remote.At<COMBOBOXINFO>()));
  remote.Read(&info, sizeof info);
  return info.rcItem;
}

uintptr_t FontOf(HWND control) { return static_cast<uintptr_t>(::SendMessageW(control, WM_GETFONT, 0, 0)); }

std::vector<std::string> ListBoxEntries(HWND list) {
  // The system carries LB_GETTEXT's text from one process to another.
  std::vector<std::string> entries;
  const int n = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    wchar_t text[1024] = L"";
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    entries.push_back(Utf8(text));
  }
  return entries;
}

int ListBoxSelected(HWND list) { return static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0)); }

void ClickListBox(HWND form, HWND list, int index) {
  ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::PostMessageW(form, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void MouseClickListBox(HWND list, int index) {
  Remote remote(list, kRemoteSize);
  ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.At<RECT>()));
  RECT rect{};
  remote.Read(&rect, sizeof rect);
  const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(list, WM_LBUTTONUP, 0, at);
}

void Type(HWND edit, const std::string& text) {
  const std::wstring wide = Wide(text);
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_BLOCK, 20000, &result);
}

void Click(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

HWND FocusOf(HWND form) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(form, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void PressKey(HWND form, WORD key, bool shift, wchar_t ch) {
  HWND target = FocusOf(form);
  if (!target) target = form;
  const DWORD thread = ::GetWindowThreadProcessId(form, nullptr);
  // Shift is held in the window thread's key state, which a thread attached to it shares.
  const bool attached = shift && ::AttachThreadInput(::GetCurrentThreadId(), thread, TRUE);
  BYTE keys[256] = {};
  if (attached) {
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    ::SetKeyboardState(keys);
  }
  const UINT scan = ::MapVirtualKeyW(key, 0);
  ::PostMessageW(target, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  if (ch) ::PostMessageW(target, WM_CHAR, ch, static_cast<LPARAM>(1 | (scan << 16)));
  ::PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
  if (attached) {
    ::Sleep(300);  // the keys are taken while Shift is held
    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
    ::SetKeyboardState(keys);
    ::AttachThreadInput(::GetCurrentThreadId(), thread, FALSE);
  }
}

void PressCtrlKey(HWND form, WORD key) {
  HWND target = FocusOf(form);
  if (!target) target = form;
  const DWORD thread = ::GetWindowThreadProcessId(form, nullptr);
  const bool attached = ::AttachThreadInput(::GetCurrentThreadId(), thread, TRUE);
  BYTE keys[256] = {};
  if (attached) {
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    ::SetKeyboardState(keys);
  }
  const UINT scan = ::MapVirtualKeyW(key, 0);
  ::PostMessageW(target, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  ::PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
  if (attached) {
    ::Sleep(300);  // the keys are taken while Ctrl is held
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    ::SetKeyboardState(keys);
    ::AttachThreadInput(::GetCurrentThreadId(), thread, FALSE);
  }
}

namespace {

struct MenuSearch {
  DWORD process;
  HWND found = nullptr;
};

BOOL CALLBACK VisitMenu(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<MenuSearch*>(data);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  wchar_t cls[64] = L"";
  ::GetClassNameW(window, cls, 64);
  if (process == search.process && ::IsWindowVisible(window) && std::wstring(cls) == L"#32768") {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND PopupMenuOf(DWORD process) {
  MenuSearch search{process};
  ::EnumWindows(VisitMenu, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void PressAltKey(HWND form, char letter) {
  HWND target = FocusOf(form);
  if (!target) target = form;
  const WORD key = static_cast<WORD>(::toupper(static_cast<unsigned char>(letter)));
  const UINT scan = ::MapVirtualKeyW(key, 0);
  const LPARAM alt = static_cast<LPARAM>(1 | (scan << 16) | (1u << 29));  // the context bit: Alt is down
  ::PostMessageW(target, WM_SYSKEYDOWN, key, alt);
  ::PostMessageW(target, WM_SYSCHAR, static_cast<WPARAM>(letter), alt);
  ::PostMessageW(target, WM_SYSKEYUP, key, alt | static_cast<LPARAM>(3u << 30));
}

std::optional<Box> AnswerBox(DWORD process, const std::string& title, const std::string& button, int timeout_ms) {
  BoxSearch f{process, nullptr, title};
  if (!WaitFor(
          [&] {
            ::EnumWindows(VisitBox, reinterpret_cast<LPARAM>(&f));
            return f.found != nullptr;
          },
          timeout_ms))
    return std::nullopt;
  Box box;
  box.title = TextOf(f.found);
  box.text = TextOf(::GetDlgItem(f.found, 0xFFFF));
  box.owner = ::GetWindow(f.found, GW_OWNER);
  const struct {
    int id;
    const char* name;
  } kButtons[] = {{IDOK, "ok"}, {IDYES, "yes"}, {IDNO, "no"}, {IDCANCEL, "cancel"}};
  int id = 0;
  for (const auto& b : kButtons)
    if (::GetDlgItem(f.found, b.id)) {
      box.buttons += std::string(b.name) + " ";
      if (button == b.name) id = b.id;
    }
  if (id)
    ::PostMessageW(f.found, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(f.found, id)));
  // The box is gone before the program goes on.
  WaitFor([&] { return !::IsWindow(f.found) || !::IsWindowVisible(f.found); }, timeout_ms);
  return box;
}

bool BoxShown(DWORD process) {
  BoxSearch f{process, nullptr, {}};
  ::EnumWindows(VisitBox, reinterpret_cast<LPARAM>(&f));
  return f.found != nullptr;
}

}  // namespace sevrik::test
