#pragma once
// Where a mix is written: a hidden temporary file beside the destination, renamed over it only
// once the mix is whole. Until then the destination is untouched (an existing file there keeps
// what it holds); an output file given up on, or destroyed before it is kept, is removed.
#include <string>

namespace velorra::render {

class OutputFile {
public:
    // Creates the temporary file; `failure()` tells why when it could not be made.
    explicit OutputFile(std::string destination);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Empty when the temporary file was made.
    const std::string& failure() const { return failure_; }
    const std::string& temporaryPath() const { return temporary_; }
    // Flushes the temporary file to the disk and renames it over the destination; false, with
    // the reason in failure(), when that fails (the temporary file is then removed).
    bool keep();

private:
    void discard();

    const std::string destination_;
    std::string temporary_;
    std::string failure_;
};

}  // namespace velorra::render
