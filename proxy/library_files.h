// What the proxy needs of the OS: where its own file is, loading a library beside it
// and looking up its entry points, and creating a file that did not exist.
#pragma once

#include <string>

namespace proxy {

// The proxy library's own path, from the address of its code.
std::string OwnLibraryPath();

// Loads a library; null with a reason in error when it cannot.
void* OpenLibrary(const std::string& path, std::string& error);
// An entry point by its exported name, or null.
void* FindEntryPoint(void* library, const char* name);
// The name under which a host finds the accessor: decorated on the 32-bit Windows ABI
// ("@ReadWordVDP1Regs@4"), plain elsewhere.
std::string AccessorExportName(const char* name, int argumentBytes);

// Creates an empty file at path only if no file of that name exists yet.
bool CreateNewFile(const std::string& path);

}  // namespace proxy
