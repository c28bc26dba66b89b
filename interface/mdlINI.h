// INI access and the running of external programs.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace sevrik {

struct Session;

// The value of a key in a section of an INI file, or the default when the file, the section
// or the key is missing; a value longer than 254 characters comes back cut to 254.
std::string ReadIniString(std::string_view file_name, std::string_view section, std::string_view key,
                          std::string_view default_value);

// Starts the command line and blocks until the program has ended. Pending window events are
// processed once first, so that the window is repainted before it blocks. A program that
// cannot be started returns at once, without a message.
void ShellAndWait(std::string_view command_line);

// Processes the pending window events once (set by a program with windows).
void SetPendingEventsHandler(std::function<void()> handler);

// Makes the package folder current: its drive (first three characters), then the folder.
void EnterPackageFolder(const Session& session);
// Makes the program's own folder current again: drive, then folder.
void EnterProgramFolder(const Session& session);

}  // namespace sevrik
