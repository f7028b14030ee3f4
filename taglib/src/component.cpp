// The component entry points: creation by programmatic identifier, registration in the per-user
// component list, and the unload query.
#include <vextag/component.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <dlfcn.h>

namespace {

namespace fs = std::filesystem;

fs::path componentList() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && *dataHome != '\0') return fs::path(dataHome) / "vextag" / "components";
    const char* home = std::getenv("HOME");
    return fs::path(home != nullptr ? home : "") / ".local" / "share" / "vextag" / "components";
}

std::string libraryPath() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void*>(&vextag_register_server), &info) == 0 || info.dli_fname == nullptr)
        return {};
    return fs::absolute(info.dli_fname).string();
}

int lastError() { return errno != 0 ? errno : EIO; }

// Rewrites the list without this control's line, adding `entry` when it is not empty.
int rewriteList(const std::string& entry) {
    const fs::path list = componentList();
    const std::string prefix = std::string(vextag::Vextag::ProgId) + '\t';
    std::vector<std::string> lines;
    {
        std::ifstream in(list);
        for (std::string line; std::getline(in, line);)
            if (line.rfind(prefix, 0) != 0) lines.push_back(line);
    }
    if (!entry.empty()) lines.push_back(entry);

    std::error_code ec;
    fs::create_directories(list.parent_path(), ec);
    if (ec) return ec.value();
    const fs::path temporary = list.string() + ".tmp";
    errno = 0;
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const std::string& line : lines) out << line << '\n';
        out.flush();
        if (!out) return lastError();
    }
    fs::rename(temporary, list, ec);
    return ec ? ec.value() : 0;
}

} // namespace

extern "C" {

VextagControl* vextag_create(const char* progId) {
    if (progId == nullptr || std::strcmp(progId, vextag::Vextag::ProgId) != 0) return nullptr;
    return std::make_unique<VextagControl>().release(); // the host owns it until vextag_release
}

void vextag_release(VextagControl* control) { std::unique_ptr<VextagControl> owned(control); }

int vextag_register_server(void) {
    const std::string path = libraryPath();
    if (path.empty()) return ENOENT;
    return rewriteList(std::string(vextag::Vextag::ProgId) + '\t' + path);
}

int vextag_unregister_server(void) { return rewriteList({}); }

int vextag_can_unload_now(void) { return vextag::Vextag::liveInstances() == 0 ? 1 : 0; }

} // extern "C"
