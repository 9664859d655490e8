#include "git_functions.h"

#include "history_error.h"

#include <dlfcn.h>

namespace mr640::git {

using namespace Qt::StringLiterals;

void* Symbol(const char* name)
{
    // Never closed: handles made by libgit2 may live until the program ends.
    static void* const library = dlopen(MR640_LIBGIT2_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        throw HistoryError(u"libgit2 cannot be loaded (%1)"_s.arg(QString::fromLocal8Bit(dlerror())));
    void* function = dlsym(library, name);
    if (!function)
        throw HistoryError(u"libgit2 cannot be used (%1)"_s.arg(QString::fromLocal8Bit(dlerror())));
    return function;
}

} // namespace mr640::git
