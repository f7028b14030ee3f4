#pragma once

#include <QString>

namespace velorra {

// The per-user base folders of the XDG base directory rules.
struct XdgFolders {
    QString dataHome;    // $XDG_DATA_HOME, or ~/.local/share
    QString configHome;  // $XDG_CONFIG_HOME, or ~/.config

    // Read from the environment at the moment of the call. A variable that is unset, empty or
    // not an absolute path is ignored, and the folder below the home directory is used.
    static XdgFolders fromEnvironment();
    // $XDG_CACHE_HOME, or ~/.cache, by the same rule.
    static QString cacheHome();
};

}  // namespace velorra
