// The file layer's host implementation, one per system (fs_*.cpp, file_stream_*.cpp,
// runlock_*.cpp, install_*.cpp): what the host's FileSystem does for each call of
// fs.h. The parts of the layer shared by every system (fs.cpp, file_system.cpp) build on it.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace sevrik {

bool IsFileHost(const std::string& host);       // an existing plain file
bool IsDirectoryHost(const std::string& host);  // an existing folder
// The folder of a host path: "." for a bare name, the root (or a drive's root) kept whole.
std::string ParentFolderOf(const std::string& host);
// At most `max_bytes` of an open file from where it is (std::string::npos: all the rest).
std::string ReadHead(ReadableFile& file, size_t max_bytes);

namespace host {

std::string HostPath(std::string_view path);
void ChangeDrive(std::string_view setting);
void ChangeDirectory(std::string_view path);
std::string CurrentDirectory();
std::vector<std::string> ListFiles(std::string_view pattern);  // in the folder's order
std::unique_ptr<ReadableFile> OpenInputFile(std::string_view path, Links links);  // file_stream_*.cpp
std::unique_ptr<WritableFile> OpenOutputFile(std::string_view path, bool append);
void RemoveFile(std::string_view path);
void CopyFileTo(std::string_view source, std::string_view target);
std::unique_ptr<ReplacementFile> OpenReplacement(std::string_view path);  // file_stream_*.cpp
std::unique_ptr<AppendingFile> OpenAppending(std::string_view path);      // file_stream_*.cpp
std::unique_ptr<LockFile> OpenLockFile(std::string_view path);            // runlock_*.cpp
void MakeDirectory(std::string_view path);
// What the disk keeps of the bytes written to an install's temporary copy: by default all of
// them. A test's file system may give a short or damaged copy, as a failing disk would, to show
// that the read-back compare refuses it.
using StoredCopy = std::function<std::string(std::string_view written)>;
void InstallFileCopy(std::string_view source, std::string_view target, const ContentCheck& check,
                     const StoredCopy& stored = {});

}  // namespace host
}  // namespace sevrik
