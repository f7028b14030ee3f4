// vextag: show, set and list ID3v1 tags from the command line.
//
//   vextag show [--no-trim] FILE...   one JSON object a line, in the order of the files
//   vextag set FILE [--song S] [--artist A] [--album B] [--year Y] [--comment C] [--genre G]
//   vextag genres                     "code name", by code
//   vextag --help | -h | --version
//
// Exit status: 0 every file handled, 1 a file-system failure (reported on stderr; the other
// files are still handled), 2 a usage error (reported on stderr with the usage).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <vextag/vextag.h>
#include <vextag/vextag_c.h>

#include "json_text.h"

namespace {

using vextag::Vextag;

constexpr int Handled = 0;
constexpr int FileFailure = 1;
constexpr int UsageError = 2;

constexpr const char* Usage =
    "usage: vextag show [--no-trim] FILE...\n"
    "       vextag set FILE [--song S] [--artist A] [--album B] [--year Y] [--comment C] [--genre G]\n"
    "       vextag genres\n"
    "       vextag --help | --version\n";

int usage(const std::string& problem) {
    std::fprintf(stderr, "vextag: %s\n%s", problem.c_str(), Usage);
    return UsageError;
}

void reportFailure(const std::string& filename, const std::system_error& error) {
    std::fprintf(stderr, "vextag: %s: %s\n", filename.c_str(), error.code().message().c_str());
}

int show(const std::vector<std::string_view>& args) {
    bool trim = true;
    bool optionsEnded = false;
    std::vector<std::string> files;
    for (const std::string_view arg : args) {
        if (!optionsEnded && arg == "--")
            optionsEnded = true;
        else if (!optionsEnded && arg == "--no-trim")
            trim = false;
        else if (!optionsEnded && arg.starts_with("--"))
            return usage("unknown option " + std::string(arg));
        else
            files.emplace_back(arg);
    }
    if (files.empty()) return usage("show needs a file");

    Vextag tag;
    tag.setTrim(trim);
    int status = Handled;
    std::string line;
    for (const std::string& file : files) {
        tag.setFilename(file);
        try {
            tag.Read();
        } catch (const std::system_error& error) {
            reportFailure(file, error);
            status = FileFailure;
            continue;
        }
        line.clear();
        const auto add = [&line](const char* key, std::string_view value) {
            line += line.empty() ? "{\"" : ", \"";
            line += key;
            line += "\": ";
            vextag::tool::appendJsonString(line, value);
        };
        add("file", file);
        add("song", tag.Song());
        add("artist", tag.Artist());
        add("album", tag.Album());
        add("year", tag.Year());
        add("genre", tag.Genre());
        add("comment", tag.Comment());
        line += "}\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return status;
}

int set(const std::vector<std::string_view>& args) {
    struct Change {
        const char* option;
        void (Vextag::*setter)(std::string);
        std::optional<std::string> value;
    };
    std::vector<Change> changes{{"--song", &Vextag::setSong, {}},       {"--artist", &Vextag::setArtist, {}},
                                {"--album", &Vextag::setAlbum, {}},     {"--year", &Vextag::setYear, {}},
                                {"--comment", &Vextag::setComment, {}}, {"--genre", &Vextag::setGenre, {}}};
    std::optional<std::string> file;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.starts_with("--")) {
            Change* change = nullptr;
            for (Change& c : changes)
                if (arg == c.option) change = &c;
            if (change == nullptr) return usage("unknown option " + std::string(arg));
            if (i + 1 == args.size()) return usage(std::string(arg) + " needs a value");
            change->value = std::string(args[++i]);
        } else if (file) {
            return usage("set takes one file");
        } else {
            file = std::string(arg);
        }
    }
    if (!file) return usage("set needs a file");

    Vextag tag;
    tag.setFilename(*file);
    try {
        tag.Read();
        for (const Change& change : changes)
            if (change.value) (tag.*change.setter)(*change.value);
        tag.Save();
    } catch (const std::system_error& error) {
        reportFailure(*file, error);
        return FileFailure;
    }
    return Handled;
}

int genres(const std::vector<std::string_view>& args) {
    if (!args.empty()) return usage("genres takes no arguments");
    const Vextag tag;
    const vextag::GenreTable& table = tag.genreTable();
    for (std::int16_t position = 1; position <= vextag::GenreTable::Size; ++position) {
        const std::string_view name = table.name(position);
        std::printf("%u %.*s\n", unsigned{vextag::GenreTable::codeOfPosition(position)}, static_cast<int>(name.size()),
                    name.data());
    }
    return Handled;
}

int help(const std::vector<std::string_view>& args) {
    if (!args.empty()) return usage("--help takes no arguments");
    std::fputs(Usage, stdout);
    return Handled;
}

int version(const std::vector<std::string_view>& args) {
    if (!args.empty()) return usage("--version takes no arguments");
    std::printf("vextag %s\n", vextag_version());
    return Handled;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage("no command");
    const std::string_view command = argv[1];
    const std::vector<std::string_view> args(argv + 2, argv + argc);
    int status;
    if (command == "show")
        status = show(args);
    else if (command == "set")
        status = set(args);
    else if (command == "genres")
        status = genres(args);
    else if (command == "--help" || command == "-h")
        status = help(args);
    else if (command == "--version")
        status = version(args);
    else if (command.starts_with("-"))
        return usage("unknown option " + std::string(command));
    else
        return usage("unknown command " + std::string(command));
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "vextag: standard output: %s\n", std::strerror(errno));
        return FileFailure;
    }
    return status;
}
