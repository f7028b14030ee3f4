#include <vextag/vextag.h>

#include <atomic>
#include <utility>

namespace vextag {

namespace {

std::atomic<int> instances{0};

const std::string TrueText = "true";
const std::string FalseText = "false";
const std::string Empty;

} // namespace

Vextag::Vextag() { ++instances; }

Vextag::~Vextag() { --instances; }

int Vextag::liveInstances() { return instances.load(); }

void Vextag::changed(const char* name) {
    if (propertyChanged_) propertyChanged_(name);
}

void Vextag::setPropertyChanged(std::function<void(const std::string&)> propertyChanged) {
    propertyChanged_ = std::move(propertyChanged);
}

void Vextag::setTrim(bool trim) {
    trim_ = trim;
    changed("Trim");
}

void Vextag::setFilename(std::string filename) {
    filename_ = std::move(filename);
    changed("Filename");
}

void Vextag::setComment(std::string comment) {
    values_.comment = std::move(comment);
    changed("Comment");
}

void Vextag::setGenre(std::string genre) {
    values_.genre = std::move(genre);
    changed("Genre");
}

void Vextag::setAlbum(std::string album) {
    values_.album = std::move(album);
    changed("Album");
}

void Vextag::setArtist(std::string artist) {
    values_.artist = std::move(artist);
    changed("Artist");
}

void Vextag::setSong(std::string song) {
    values_.song = std::move(song);
    changed("Song");
}

void Vextag::setYear(std::string year) {
    values_.year = std::move(year);
    changed("Year");
}

void Vextag::Read() { ReadTag(filename_, trim_, genres_, values_); }

void Vextag::Save() { WriteTag(filename_, values_, genres_); }

void Vextag::initProperties() {
    trim_ = true;
    filename_.clear();
    values_ = TagValues{};
}

void Vextag::readProperties(PropertyBag& bag) {
    TagValues values;
    values.year = bag.read("Year", Empty);
    values.song = bag.read("Song", Empty);
    values.artist = bag.read("Artist", Empty);
    values.album = bag.read("Album", Empty);
    values.genre = bag.read("Genre", Empty);
    values.comment = bag.read("Comment", Empty);
    std::string filename = bag.read("Filename", Empty);
    const std::string trim = bag.read("Trim", TrueText);
    if (trim != TrueText && trim != FalseText) throw PropertyBagError("Trim: not a Boolean: \"" + trim + "\"");

    values_ = std::move(values);
    filename_ = std::move(filename);
    trim_ = trim == TrueText;
}

void Vextag::writeProperties(PropertyBag& bag) const {
    bag.write("Year", values_.year, Empty);
    bag.write("Song", values_.song, Empty);
    bag.write("Artist", values_.artist, Empty);
    bag.write("Album", values_.album, Empty);
    bag.write("Genre", values_.genre, Empty);
    bag.write("Comment", values_.comment, Empty);
    bag.write("Filename", filename_, Empty);
    bag.write("Trim", trim_ ? TrueText : FalseText, TrueText);
}

} // namespace vextag
