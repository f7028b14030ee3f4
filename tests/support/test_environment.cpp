#include "support/test_environment.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velorra::testing {

namespace {
std::string& homeFolder() {
    static std::string folder;
    return folder;
}
}  // namespace

void isolateTestEnvironment() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velorra-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    homeFolder() = pattern;
    const std::filesystem::path home(pattern);
    for (const auto& [name, sub] : {std::pair{"XDG_CONFIG_HOME", "config"}, std::pair{"XDG_DATA_HOME", "data"},
                                    std::pair{"XDG_CACHE_HOME", "cache"}}) {
        std::filesystem::create_directories(home / sub);
        setenv(name, (home / sub).c_str(), 1);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(homeFolder(), ignored);
    });
}

}  // namespace velorra::testing
