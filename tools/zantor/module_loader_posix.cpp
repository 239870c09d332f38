#include <dlfcn.h>

#include <cstdio>

#include "zantor/module_loader.h"

namespace zantor {

void* OpenModule(const char* path, char* error, size_t size) {
  // A name without a slash would be searched on the library path instead.
  char local[4096];
  if (std::snprintf(local, sizeof local, "%s%s", path[0] == '/' ? "" : "./", path) >= static_cast<int>(sizeof local)) {
    std::snprintf(error, size, "path too long");
    return nullptr;
  }
  void* module = dlopen(local, RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) std::snprintf(error, size, "%s", dlerror());
  return module;
}

void* FindExport(void* module, const char* name) { return dlsym(module, name); }

void CloseModule(void* module) { dlclose(module); }

}  // namespace zantor
