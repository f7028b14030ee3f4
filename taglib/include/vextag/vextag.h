// Vextag: the tag control. It holds a file name and that file's six ID3v1 values, reads and
// saves them, and keeps its properties in the host window's saved design. This header is the
// control's core and needs no Qt; the visual control that shows it (with its About window) is
// in vextag_widget.h.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <vextag/export.h>
#include <vextag/genre_table.h>
#include <vextag/property_bag.h>
#include <vextag/tag_record.h>

namespace vextag {

class VEXTAG_API Vextag {
public:
    // The control's programmatic identifier, by which component hosts create it.
    static constexpr const char* ProgId = "vbpVextag.Vextag";

    Vextag();
    ~Vextag();
    Vextag(const Vextag&) = delete;
    Vextag& operator=(const Vextag&) = delete;

    // Property values are UTF-8. Every setter stores the value as given and then tells the host
    // the property's name ("Song", "Trim", ...), even when the value did not change.
    bool Trim() const;
    const std::string& Filename() const;
    const std::string& Comment() const;
    const std::string& Genre() const;
    const std::string& Album() const;
    const std::string& Artist() const;
    const std::string& Song() const;
    const std::string& Year() const;

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

    // The control newly placed on a window: empty texts, Trim true.
    void initProperties();
    // Loads the saved properties with their defaults, without telling the host. Store failures
    // (and a Trim that is neither "true" nor "false") throw PropertyBagError; nothing changes then.
    void readProperties(PropertyBag& bag);
    // Saves the properties in the order Year, Song, Artist, Album, Genre, Comment, Filename, Trim.
    void writeProperties(PropertyBag& bag) const;

    const GenreTable& genreTable() const;

    // Number of Vextag instances alive in the process.
    static int liveInstances();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vextag
