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

struct Vextag::Impl {
    bool trim = true;
    std::string filename;
    TagValues values;
    GenreTable genres;
    std::function<void(const std::string&)> propertyChanged;

    // Stores `value` in `property` and tells the host its name.
    template <typename T>
    void set(T& property, T value, const char* name) {
        property = std::move(value);
        if (propertyChanged) propertyChanged(name);
    }
};

Vextag::Vextag() : impl_(std::make_unique<Impl>()) { ++instances; }

Vextag::~Vextag() { --instances; }

int Vextag::liveInstances() { return instances.load(); }

bool Vextag::Trim() const { return impl_->trim; }
const std::string& Vextag::Filename() const { return impl_->filename; }
const std::string& Vextag::Comment() const { return impl_->values.comment; }
const std::string& Vextag::Genre() const { return impl_->values.genre; }
const std::string& Vextag::Album() const { return impl_->values.album; }
const std::string& Vextag::Artist() const { return impl_->values.artist; }
const std::string& Vextag::Song() const { return impl_->values.song; }
const std::string& Vextag::Year() const { return impl_->values.year; }
const GenreTable& Vextag::genreTable() const { return impl_->genres; }

void Vextag::setPropertyChanged(std::function<void(const std::string&)> propertyChanged) {
    impl_->propertyChanged = std::move(propertyChanged);
}

void Vextag::setTrim(bool trim) { impl_->set(impl_->trim, trim, "Trim"); }
void Vextag::setFilename(std::string filename) { impl_->set(impl_->filename, std::move(filename), "Filename"); }
void Vextag::setComment(std::string comment) { impl_->set(impl_->values.comment, std::move(comment), "Comment"); }
void Vextag::setGenre(std::string genre) { impl_->set(impl_->values.genre, std::move(genre), "Genre"); }
void Vextag::setAlbum(std::string album) { impl_->set(impl_->values.album, std::move(album), "Album"); }
void Vextag::setArtist(std::string artist) { impl_->set(impl_->values.artist, std::move(artist), "Artist"); }
void Vextag::setSong(std::string song) { impl_->set(impl_->values.song, std::move(song), "Song"); }
void Vextag::setYear(std::string year) { impl_->set(impl_->values.year, std::move(year), "Year"); }

void Vextag::Read() { ReadTag(impl_->filename, impl_->trim, impl_->genres, impl_->values); }

void Vextag::Save() { WriteTag(impl_->filename, impl_->values, impl_->genres); }

void Vextag::initProperties() {
    impl_->trim = true;
    impl_->filename.clear();
    impl_->values = TagValues{};
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

    impl_->values = std::move(values);
    impl_->filename = std::move(filename);
    impl_->trim = trim == TrueText;
}

void Vextag::writeProperties(PropertyBag& bag) const {
    const Impl& d = *impl_;
    bag.write("Year", d.values.year, Empty);
    bag.write("Song", d.values.song, Empty);
    bag.write("Artist", d.values.artist, Empty);
    bag.write("Album", d.values.album, Empty);
    bag.write("Genre", d.values.genre, Empty);
    bag.write("Comment", d.values.comment, Empty);
    bag.write("Filename", d.filename, Empty);
    bag.write("Trim", d.trim ? TrueText : FalseText, TrueText);
}

} // namespace vextag
