#include "settings/file_replace.h"

#include "platform/messages.h"

#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <system_error>

namespace kivo {
namespace {

namespace fs = std::filesystem;

Problem failure(std::string_view what, const fs::path& where, DWORD error)
{
    return Problem{std::string(what) + ' ' + quotedPath(where) + ": " +
                   std::system_category().message(static_cast<int>(error))};
}

// Closes and removes the unfinished temporary file; the old file was never touched.
Problem abandoned(HANDLE handle, const fs::path& temporary, std::string_view what)
{
    const DWORD error = GetLastError();
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    DeleteFileW(temporary.c_str());
    return failure(what, temporary, error);
}

bool writeAll(HANDLE handle, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

std::wstring temporaryPrefix(const fs::path& file)
{
    return file.filename().wstring() + L".new-";
}

// Removes what saves killed half-way left behind. A live save keeps its temporary file open
// until the file has its name, so a file that opens for this process alone is nobody's, and
// it goes when that handle closes.
void removeStaleTemporaries(const fs::path& file)
{
    const std::wstring prefix = temporaryPrefix(file);
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(L".");
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (!entry.path().filename().wstring().starts_with(prefix) || !entry.is_regular_file(error))
            continue;
        const HANDLE stale =
            CreateFileW(entry.path().c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (stale != INVALID_HANDLE_VALUE)
            CloseHandle(stale);
    }
}

// A new file beside file under a name no other file has. It may be renamed while open, and
// nothing else may open it.
HANDLE createTemporary(const fs::path& file, fs::path& temporary)
{
    std::random_device random;
    for (;;) {
        temporary = file.parent_path() / (temporaryPrefix(file) + std::to_wstring(random()));
        const HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return handle;
    }
}

}  // namespace

fs::path replacedFile(const fs::path& file)
{
    return file;
}

Status mayReplace(const fs::path& file)
{
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return failure("will not replace the read-only file", file, ERROR_ACCESS_DENIED);
    return {};
}

Status replaceFile(const fs::path& file, std::string_view bytes)
{
    // The profile functions leave a read-only file alone, and so does Kivo.
    if (Status replaceable = mayReplace(file); !replaceable)
        return replaceable;
    removeStaleTemporaries(file);
    fs::path temporary;
    const HANDLE handle = createTemporary(file, temporary);
    if (handle == INVALID_HANDLE_VALUE)
        return failure("cannot create a temporary file beside", file, GetLastError());
    if (!writeAll(handle, bytes))
        return abandoned(handle, temporary, "cannot write");
    if (!FlushFileBuffers(handle))
        return abandoned(handle, temporary, "cannot flush to disk");
    // Renamed while still open, so no other save takes it for a stale one.
    if (!MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        DeleteFileW(temporary.c_str());
        return failure("cannot rename " + quotedPath(temporary) + " to", file, error);
    }
    CloseHandle(handle);
    return {};
}

}  // namespace kivo
