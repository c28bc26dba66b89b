#include "tests/fault_fs.h"

#include <algorithm>
#include <utility>

#include "base/error.h"
#include "platform/fs_host.h"

namespace sevrik::test {
namespace {

// An append as a disk that fills and a process that dies do it: two kill steps (half of the
// bytes written; all of them), and of a write that crosses the full line what fits first.
// `file` is null once the process is dead.
template <class File>
void AppendAsTheDiskDoes(File* file, FaultFileSystem& fs, const std::string& host, std::string_view bytes) {
  if (fs.dead()) return;
  if (fs.DiesAt(host)) {
    file->Append(bytes.substr(0, bytes.size() / 2));
    throw Killed{};
  }
  const size_t fits = fs.Take(host, bytes.size());
  if (fits > 0) file->Append(bytes.substr(0, fits));
  if (fits < bytes.size()) throw Error(err::kDiskFull);
  if (fs.DiesAt(host)) throw Killed{};
}

// A sync: one kill step, once it is done.
template <class File>
void SyncAsTheDiskDoes(File* file, FaultFileSystem& fs, const std::string& host) {
  if (fs.dead()) return;
  file->Sync();
  fs.Synced(host);
  if (fs.DiesAt(host)) throw Killed{};
}

// A file of the wrapped file system whose writes spend the disk's room.
class FaultFile final : public WritableFile {
 public:
  FaultFile(std::unique_ptr<WritableFile> file, FaultFileSystem& fs, std::string host)
      : file_(std::move(file)), fs_(fs), host_(std::move(host)) {}
  void Append(std::string_view bytes) override { AppendAsTheDiskDoes(file_.get(), fs_, host_, bytes); }
  void Sync() override { SyncAsTheDiskDoes(file_.get(), fs_, host_); }
  void Close() override {
    if (file_) file_->Close();
  }

 private:
  std::unique_ptr<WritableFile> file_;
  FaultFileSystem& fs_;
  std::string host_;
};

// An appending file of the wrapped file system whose appends spend the disk's room and count
// as kill steps; once the process is dead nothing is written or cut back.
class FaultAppending final : public AppendingFile {
 public:
  FaultAppending(std::unique_ptr<AppendingFile> file, FaultFileSystem& fs, std::string host)
      : file_(std::move(file)), fs_(fs), host_(std::move(host)) {}
  std::uint64_t Size() override { return file_->Size(); }
  char LastByte() override { return file_->LastByte(); }
  void Append(std::string_view bytes) override { AppendAsTheDiskDoes(file_.get(), fs_, host_, bytes); }
  void Sync() override { SyncAsTheDiskDoes(file_.get(), fs_, host_); }
  void CutBack(std::uint64_t size) noexcept override {
    if (!fs_.dead()) file_->CutBack(size);
  }

 private:
  std::unique_ptr<AppendingFile> file_;
  FaultFileSystem& fs_;
  std::string host_;
};

// A replacement that keeps what is written until its commit, when the file system writes it to
// the wrapped replacement and commits that (so that a kill can leave a temporary file half or
// wholly written instead).
class FaultReplacement final : public ReplacementFile {
 public:
  FaultReplacement(std::unique_ptr<ReplacementFile> file, FaultFileSystem& fs, std::string path, std::string host)
      : file_(std::move(file)), fs_(fs), path_(std::move(path)), host_(std::move(host)) {}
  void Append(std::string_view bytes) override { bytes_.append(bytes); }
  void Commit() override {
    if (!fs_.dead()) fs_.Replace(host_, bytes_, *file_);
  }
  void CommitAsRemoval() override {
    if (!fs_.dead()) fs_.RemoveReplaced(path_, host_, *file_);
  }

 private:
  std::unique_ptr<ReplacementFile> file_;  // the wrapped one, its temporary file made; null once dead
  FaultFileSystem& fs_;
  std::string path_, host_;
  std::string bytes_;
};

bool Below(const std::string& host, const std::string& folder) {
  return !folder.empty() && host.starts_with(folder + "/");
}

}  // namespace

FaultFileSystem::FaultFileSystem()
    : base_(CurrentFileSystem()), installed_(std::make_unique<ScopedFileSystem>(*this)) {}

FaultFileSystem::~FaultFileSystem() = default;

void FaultFileSystem::FillDiskAfter(const std::string& host_folder, size_t bytes) {
  disk_ = host_folder;
  room_ = bytes;
}
void FaultFileSystem::FailRemoval(const std::string& host_path) { fail_removal_.insert(host_path); }
void FaultFileSystem::KeepAfterRemoval(const std::string& host_path) { keep_after_removal_.insert(host_path); }
void FaultFileSystem::MakeReadOnly(const std::string& host_folder) { read_only_.push_back(host_folder); }
void FaultFileSystem::DamageInstalledCopy(std::function<std::string(std::string_view)> damage) {
  damage_ = std::move(damage);
}

void FaultFileSystem::KillAt(const std::string& host_path, size_t step) {
  kill_host_ = host_path;
  kill_step_ = step;
}

bool FaultFileSystem::DiesAt(const std::string& host) {
  if (dead_ || host != kill_host_) return false;
  dead_ = steps_++ == kill_step_;
  return dead_;
}

void FaultFileSystem::Synced(const std::string& host) {
  ++syncs_;
  if (on_sync) on_sync(host);
}

size_t FaultFileSystem::Take(const std::string& host, size_t wanted) {
  if (!Below(host, disk_)) return wanted;
  const size_t fits = std::min(wanted, room_);
  room_ -= fits;
  return fits;
}

std::string FaultFileSystem::Resolved(std::string_view path) {
  try {
    return base_.HostPath(path);
  } catch (const Error&) {
    return {};  // the wrapped file system gives the path's own error
  }
}

void FaultFileSystem::CheckWritable(const std::string& host) const {
  for (const std::string& folder : read_only_)
    if (Below(host, folder)) throw Error(err::kPermissionDenied);
}

void FaultFileSystem::CheckReplaceable(const std::string& host) const {
  CheckWritable(host);
  if (fail_removal_.contains(host)) throw Error(err::kPermissionDenied);
}

void FaultFileSystem::CheckRoom(const std::string& host, size_t bytes) {
  if (Below(host, disk_) && bytes > room_) throw Error(err::kDiskFull);
  Take(host, bytes);
}

std::string FaultFileSystem::HostPath(std::string_view path) { return base_.HostPath(path); }
void FaultFileSystem::ChangeDrive(std::string_view setting) { base_.ChangeDrive(setting); }
void FaultFileSystem::ChangeDirectory(std::string_view path) { base_.ChangeDirectory(path); }
std::string FaultFileSystem::CurrentDirectory() { return base_.CurrentDirectory(); }
std::vector<std::string> FaultFileSystem::ListFiles(std::string_view pattern) { return base_.ListFiles(pattern); }
bool FaultFileSystem::FileExists(std::string_view path) { return base_.FileExists(path); }
bool FaultFileSystem::DirectoryExists(std::string_view path) { return base_.DirectoryExists(path); }

std::unique_ptr<ReadableFile> FaultFileSystem::OpenInputFile(std::string_view path, Links links) {
  return base_.OpenInputFile(path, links);
}

std::unique_ptr<WritableFile> FaultFileSystem::OpenOutputFile(std::string_view path, bool append) {
  std::string host = Resolved(path);
  if (dead_) return std::make_unique<FaultFile>(nullptr, *this, std::move(host));
  CheckWritable(host);
  return std::make_unique<FaultFile>(base_.OpenOutputFile(path, append), *this, std::move(host));
}

void FaultFileSystem::RemoveFile(std::string_view path) {
  if (dead_) return;
  const std::string host = Resolved(path);
  CheckReplaceable(host);
  if (keep_after_removal_.contains(host) && base_.FileExists(path)) return;
  base_.RemoveFile(path);
}

void FaultFileSystem::CopyFileTo(std::string_view source, std::string_view target) {
  if (dead_) return;
  const std::string bytes = ReadHead(*base_.OpenInputFile(source, Links::Follow), std::string::npos);
  const std::unique_ptr<WritableFile> file = OpenOutputFile(target, false);
  file->Append(bytes);
  file->Close();
}

std::unique_ptr<ReplacementFile> FaultFileSystem::OpenReplacement(std::string_view path) {
  std::string host = Resolved(path);
  if (dead_) return std::make_unique<FaultReplacement>(nullptr, *this, std::string(path), std::move(host));
  CheckReplaceable(host);
  return std::make_unique<FaultReplacement>(base_.OpenReplacement(path), *this, std::string(path), std::move(host));
}

void FaultFileSystem::Replace(const std::string& host, std::string_view bytes, ReplacementFile& file) {
  CheckRoom(host, bytes.size());
  // What a kill leaves of a replacement before its rename: the temporary file beside the old.
  for (const size_t kept : {bytes.size() / 2, bytes.size()}) {
    if (!DiesAt(host)) continue;
    const size_t slash = host.find_last_of('/');
    const std::string temp = host.substr(0, slash + 1) + "." + host.substr(slash + 1) + ".tmp-k1ll3d0000";
    const std::unique_ptr<WritableFile> left = base_.OpenOutputFile(temp, false);
    left->Append(bytes.substr(0, kept));
    left->Close();
    throw Killed{};
  }
  file.Append(bytes);
  file.Commit();
  if (DiesAt(host)) throw Killed{};
}

void FaultFileSystem::RemoveReplaced(std::string_view path, const std::string& host, ReplacementFile& file) {
  CheckReplaceable(host);
  if (keep_after_removal_.contains(host) && base_.FileExists(path)) return;
  file.CommitAsRemoval();
}

std::unique_ptr<AppendingFile> FaultFileSystem::OpenAppending(std::string_view path) {
  std::string host = Resolved(path);
  if (!dead_) CheckWritable(host);
  return std::make_unique<FaultAppending>(base_.OpenAppending(path), *this, std::move(host));
}

std::unique_ptr<LockFile> FaultFileSystem::OpenLockFile(std::string_view path) { return base_.OpenLockFile(path); }

void FaultFileSystem::MakeDirectory(std::string_view path) {
  if (dead_) return;
  CheckWritable(Resolved(path));
  base_.MakeDirectory(path);
}

void FaultFileSystem::InstallFileCopy(std::string_view source, std::string_view target, const ContentCheck& check) {
  const std::string host = Resolved(target);
  CheckReplaceable(host);
  if (base_.FileExists(source))
    CheckRoom(host, ReadHead(*base_.OpenInputFile(source, Links::Follow), std::string::npos).size());
  if (damage_) host::InstallFileCopy(source, target, check, damage_);
  else base_.InstallFileCopy(source, target, check);
}

}  // namespace sevrik::test
