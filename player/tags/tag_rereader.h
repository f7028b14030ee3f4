#pragma once
// Reads the row tags of many files on a thread of its own and hands them, a batch at a time, to
// the event loop's thread, so that a long play list is read again without holding the window.
#include "player/tags/row_tags.h"
#include "player/toolkit/event_loop.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace velorra {

class TagRereader {
public:
    struct Read {
        std::string path;
        RowTags tags;
    };
    using Deliver = std::function<void(std::vector<Read>)>;

    explicit TagRereader(toolkit::EventLoop& loop);
    TagRereader(const TagRereader&) = delete;
    TagRereader& operator=(const TagRereader&) = delete;
    // Stops the reading under way; what it has not delivered is dropped.
    ~TagRereader();

    // Reads `paths` as readRowTags does with `readOther`, through a tag control of its own that
    // trims as `trim` says; `deliver` takes each batch on the loop's thread, in the order of
    // `paths`. A reading under way stops, and what it has not delivered is dropped.
    void start(std::vector<std::string> paths, bool readOther, bool trim, Deliver deliver);

private:
    // What the delivering events look at, on the loop's thread only.
    struct Delivery {
        uint64_t reading = 0;  // the reading whose batches are still wanted
        Deliver deliver;
    };

    toolkit::EventLoop& loop_;
    std::shared_ptr<Delivery> delivery_ = std::make_shared<Delivery>();
    std::jthread worker_;
};

}  // namespace velorra
