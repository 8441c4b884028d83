// SPDX-License-Identifier: GPL-3.0-or-later
#include "programmodule.h"

#include <dlfcn.h>
#include <system_error>

#include "version/projectversion.h"

namespace cli {
namespace fs = std::filesystem;

namespace {

std::string lastLoaderError()
{
    const char* error = dlerror();
    return error ? error : "";
}

// RTLD_NOW: a module that lacks a library fails here, with the library named, not at its first
// call. RTLD_LOCAL: the module's own copies of the core libraries stay its own.
void* openFile(const std::string& name, std::string& failure)
{
    void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        failure += "\n  " + lastLoaderError();
    return handle;
}

} // namespace

std::vector<fs::path> programModuleFolders(const fs::path& executable)
{
    if (!executable.has_parent_path())
        return {};
    const fs::path folder = executable.parent_path();
    return {folder, (folder / PI_MODULE_DIR_FROM_BIN).lexically_normal()};
}

ProgramModule openProgramModule(const std::string& fileName, const char* entryName)
{
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    std::string failure;
    void* handle = nullptr;
    bool found = false;
    for (const fs::path& folder : programModuleFolders(error ? fs::path() : executable)) {
        const fs::path candidate = folder / fileName;
        if (fs::exists(candidate, error)) {
            found = true;
            handle = openFile(candidate.string(), failure);
            break;
        }
        failure += "\n  " + candidate.string() + ": нет файла";
    }
    if (!found)
        handle = openFile(fileName, failure);
    ProgramModule module;
    if (!handle) {
        module.error = "Модуль " + fileName + " не загружен:" + failure;
        return module;
    }
    const auto version = reinterpret_cast<const char* (*)()>(dlsym(handle, PI_MODULE_VERSION_SYMBOL));
    if (!version || std::string(version()) != version::kVersion) {
        module.error = "Модуль " + fileName + " не от этой версии программы (" + version::kVersion + ")";
        return module;
    }
    module.entry = dlsym(handle, entryName);
    if (!module.entry)
        module.error = "Модуль " + fileName + " не загружен: " + lastLoaderError();
    return module;
}

} // namespace cli
