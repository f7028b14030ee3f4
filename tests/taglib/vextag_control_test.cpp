// The Vextag control: property change notices, Read and Save through the control, the saved
// properties in a property bag, and the component entry points.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include <vextag/component.h>
#include <vextag/vextag.h>

#include "support/temp_dir.h"
#include "taglib/tag_files.h"

namespace vextag {
namespace {

using test::audio;
using namespace velorra::testing;  // the folder, files and records of tests/support

// Records every call, in order, on top of a map.
class RecordingBag : public MapPropertyBag {
public:
    std::string read(const std::string& name, const std::string& defaultValue) override {
        calls.push_back("read " + name + "=" + defaultValue);
        return MapPropertyBag::read(name, defaultValue);
    }
    void write(const std::string& name, const std::string& value, const std::string& defaultValue) override {
        calls.push_back("write " + name);
        MapPropertyBag::write(name, value, defaultValue);
    }
    std::vector<std::string> calls;
};

class FailingBag : public PropertyBag {
public:
    std::string read(const std::string& name, const std::string&) override {
        if (name == "Filename") throw PropertyBagError("store unreadable");
        return "x";
    }
    void write(const std::string&, const std::string&, const std::string&) override {
        throw PropertyBagError("store read-only");
    }
};

TEST(VextagControl, SettersTellTheHostByNameAndReadChangesOnlyTagValues) {
    Vextag tag;
    EXPECT_TRUE(tag.Trim());
    EXPECT_EQ(tag.Filename() + tag.Song() + tag.Artist() + tag.Album() + tag.Year() + tag.Genre() + tag.Comment(), "");

    std::vector<std::string> changed;
    tag.setPropertyChanged([&](const std::string& name) { changed.push_back(name); });
    tag.setTrim(false);
    tag.setTrim(false);
    tag.setFilename("f");
    tag.setComment("c");
    tag.setGenre("Not a genre");
    tag.setAlbum("b");
    tag.setArtist("a");
    tag.setSong("s");
    tag.setYear("y");
    EXPECT_EQ(changed, (std::vector<std::string>{"Trim", "Trim", "Filename", "Comment", "Genre", "Album", "Artist",
                                                 "Song", "Year"}));
    EXPECT_EQ(tag.Genre(), "Not a genre");

    TempDir dir;
    const std::string path = dir.path("song.mp3");
    writeFile(path, audio(400));
    tag.setFilename(path);
    EXPECT_EQ(tag.Song(), "s") << "setting Filename alone reads nothing";
    changed.clear();
    tag.Save();
    EXPECT_EQ(static_cast<unsigned char>(readFile(path).back()), 255) << "a genre outside the table saves as 255";
    EXPECT_EQ(readFile(path).size(), 528u);

    tag.setSong("changed in memory");
    tag.setTrim(true);
    changed.clear();
    tag.Read();
    EXPECT_EQ(tag.Song(), "s");
    EXPECT_EQ(tag.Genre(), "");
    EXPECT_EQ(tag.Year(), "y");
    EXPECT_EQ(tag.Filename(), path);
    EXPECT_TRUE(tag.Trim());
    EXPECT_TRUE(changed.empty()) << "Read does not go through the setters";
}

TEST(VextagControl, PropertiesRoundTripThroughTheBagWithDefaultsLeftOut) {
    Vextag fresh;
    RecordingBag empty;
    fresh.writeProperties(empty);
    EXPECT_TRUE(empty.values.empty()) << "a new control stores nothing but defaults";
    EXPECT_EQ(empty.calls, (std::vector<std::string>{"write Year", "write Song", "write Artist", "write Album",
                                                     "write Genre", "write Comment", "write Filename", "write Trim"}));

    Vextag tag;
    tag.setYear("1999");
    tag.setSong("Song");
    tag.setGenre("Rock");
    tag.setFilename("/music/a.mp3");
    tag.setTrim(false);
    RecordingBag bag;
    tag.writeProperties(bag);
    EXPECT_EQ(bag.values, (std::map<std::string, std::string>{
                              {"Year", "1999"}, {"Song", "Song"}, {"Genre", "Rock"}, {"Filename", "/music/a.mp3"},
                              {"Trim", "false"}}));

    Vextag loaded;
    std::vector<std::string> changed;
    loaded.setPropertyChanged([&](const std::string& name) { changed.push_back(name); });
    bag.calls.clear();
    loaded.readProperties(bag);
    EXPECT_EQ(bag.calls.front(), "read Year=");
    EXPECT_EQ(bag.calls.back(), "read Trim=true");
    EXPECT_EQ(loaded.Year(), "1999");
    EXPECT_EQ(loaded.Song(), "Song");
    EXPECT_EQ(loaded.Genre(), "Rock");
    EXPECT_EQ(loaded.Filename(), "/music/a.mp3");
    EXPECT_FALSE(loaded.Trim());
    EXPECT_TRUE(changed.empty()) << "loading the window does not notify";

    // Initial properties on a newly placed control put back the defaults.
    loaded.initProperties();
    EXPECT_TRUE(loaded.Trim());
    EXPECT_EQ(loaded.Song() + loaded.Filename(), "");

    // Store failures and a Trim that is not a Boolean reach the host; the control keeps its values.
    MapPropertyBag bad;
    bad.values = {{"Song", "new"}, {"Trim", "maybe"}};
    EXPECT_THROW(tag.readProperties(bad), PropertyBagError);
    FailingBag failing;
    EXPECT_THROW(tag.readProperties(failing), PropertyBagError);
    EXPECT_THROW(tag.writeProperties(failing), PropertyBagError);
    EXPECT_EQ(tag.Song(), "Song");
    EXPECT_EQ(tag.Year(), "1999");
    EXPECT_FALSE(tag.Trim());
}

TEST(VextagComponent, CreatesByProgIdRegistersAndKnowsWhenItCanUnload) {
    ASSERT_EQ(Vextag::liveInstances(), 0);
    EXPECT_EQ(vextag_can_unload_now(), 1);
    EXPECT_EQ(vextag_create("vbpVextag.Other"), nullptr);
    EXPECT_EQ(vextag_create(nullptr), nullptr);
    VextagControl* control = vextag_create("vbpVextag.Vextag");
    ASSERT_NE(control, nullptr);
    control->control.setSong("made by the factory");
    EXPECT_EQ(vextag_can_unload_now(), 0);
    {
        Vextag local;
        vextag_release(control);
        EXPECT_EQ(vextag_can_unload_now(), 0) << "a control made directly also keeps the library";
    }
    EXPECT_EQ(vextag_can_unload_now(), 1);

    TempDir dir;
    const std::string list = dir.path("data/vextag/components");
    ::setenv("XDG_DATA_HOME", dir.path("data").c_str(), 1);
    ASSERT_EQ(vextag_register_server(), 0);
    ASSERT_EQ(vextag_register_server(), 0);
    std::string contents = readFile(list);
    EXPECT_EQ(contents.rfind("vbpVextag.Vextag\t/", 0), 0u) << contents;
    EXPECT_NE(contents.find("libvextag.so"), std::string::npos) << contents;
    EXPECT_EQ(contents.find('\n'), contents.size() - 1) << "registering twice keeps one line";

    writeFile(list, "other.Control\t/lib/other.so\n" + contents);
    ASSERT_EQ(vextag_unregister_server(), 0);
    EXPECT_EQ(readFile(list), "other.Control\t/lib/other.so\n");

    // A data home that is a plain file cannot hold the list.
    writeFile(dir.path("plain"), "x");
    ::setenv("XDG_DATA_HOME", dir.path("plain").c_str(), 1);
    EXPECT_NE(vextag_register_server(), 0);
    ::unsetenv("XDG_DATA_HOME");
}

} // namespace
} // namespace vextag
