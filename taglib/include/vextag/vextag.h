// Vextag: the tag control. It holds a file name and that file's six ID3v1 values, reads and
// saves them, and keeps its properties in the host window's saved design.
#pragma once

#include <functional>
#include <string>

#include <vextag/genre_table.h>
#include <vextag/property_bag.h>
#include <vextag/tag_record.h>

namespace vextag {

class Vextag {
public:
    // The control's programmatic identifier, by which component hosts create it.
    static constexpr const char* ProgId = "vbpVextag.Vextag";

    Vextag();
    ~Vextag();
    Vextag(const Vextag&) = delete;
    Vextag& operator=(const Vextag&) = delete;

    // Property values are UTF-8. Every setter stores the value as given and then tells the host
    // the property's name ("Song", "Trim", ...), even when the value did not change.
    bool Trim() const { return trim_; }
    const std::string& Filename() const { return filename_; }
    const std::string& Comment() const { return values_.comment; }
    const std::string& Genre() const { return values_.genre; }
    const std::string& Album() const { return values_.album; }
    const std::string& Artist() const { return values_.artist; }
    const std::string& Song() const { return values_.song; }
    const std::string& Year() const { return values_.year; }

    void setTrim(bool trim);
    void setFilename(std::string filename);
    void setComment(std::string comment);
    void setGenre(std::string genre);
    void setAlbum(std::string album);
    void setArtist(std::string artist);
    void setSong(std::string song);
    void setYear(std::string year);

    // Called with a property's name after each setter; Read and readProperties do not call it.
    void setPropertyChanged(std::function<void(const std::string&)> propertyChanged);

    // Reads the tag of Filename into the six values; throws std::system_error on a file-system
    // failure and then leaves the values as they were.
    void Read();
    // Writes the six values into Filename's tag; throws std::system_error on a file-system failure.
    void Save();
    // Shows the About window modally over the active window. Lives in the visual layer of
    // libvextag; programs built on the core alone (the vextag tool) do not have it.
    void ShowAbout();

    // The control newly placed on a window: empty texts, Trim true.
    void initProperties();
    // Loads the saved properties with their defaults, without telling the host. Store failures
    // (and a Trim that is neither "true" nor "false") throw PropertyBagError; nothing changes then.
    void readProperties(PropertyBag& bag);
    // Saves the properties in the order Year, Song, Artist, Album, Genre, Comment, Filename, Trim.
    void writeProperties(PropertyBag& bag) const;

    const GenreTable& genreTable() const { return genres_; }

    // Number of Vextag instances alive in the process.
    static int liveInstances();

private:
    void changed(const char* name);

    bool trim_ = true;
    std::string filename_;
    TagValues values_;
    GenreTable genres_;
    std::function<void(const std::string&)> propertyChanged_;
};

} // namespace vextag
