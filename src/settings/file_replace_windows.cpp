#include "settings/file_replace.h"

#include "settings/messages.h"

#include <windows.h>

#include <algorithm>
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

}  // namespace

Status replaceFile(const fs::path& file, std::string_view bytes)
{
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(L".");
    // GetTempFileNameW creates the file under a name no other file has.
    wchar_t temporaryName[MAX_PATH];
    if (GetTempFileNameW(folder.c_str(), L"kvo", 0, temporaryName) == 0) {
        return failure("cannot create a temporary file in", folder, GetLastError());
    }
    const fs::path temporary(temporaryName);
    const HANDLE handle =
        CreateFileW(temporaryName, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return abandoned(handle, temporary, "cannot open");
    if (!writeAll(handle, bytes))
        return abandoned(handle, temporary, "cannot write");
    if (!FlushFileBuffers(handle))
        return abandoned(handle, temporary, "cannot flush to disk");
    if (!CloseHandle(handle))
        return abandoned(INVALID_HANDLE_VALUE, temporary, "cannot close");
    if (!MoveFileExW(temporaryName, file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporaryName);
        return failure("cannot rename " + quotedPath(temporary) + " to", file, error);
    }
    return {};
}

}  // namespace kivo
