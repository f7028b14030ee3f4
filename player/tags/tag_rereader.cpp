#include "player/tags/tag_rereader.h"

#include <utility>

namespace velorra {

namespace {

// Files a batch holds: the window takes each batch in one go, in a few milliseconds.
constexpr size_t BatchSize = 200;

}  // namespace

TagRereader::TagRereader(toolkit::EventLoop& loop) : loop_(loop) {}

TagRereader::~TagRereader() {
    ++delivery_->reading;
    delivery_->deliver = nullptr;
}

void TagRereader::start(std::vector<std::string> paths, bool readOther, bool trim, Deliver deliver) {
    const uint64_t reading = ++delivery_->reading;
    delivery_->deliver = std::move(deliver);
    // Assigning stops the previous worker and waits for it: it is between two files or in one.
    worker_ = std::jthread([&loop = loop_, delivery = delivery_, reading, paths = std::move(paths), readOther,
                            trim](std::stop_token stop) {
        vextag::Vextag control;
        control.setTrim(trim);
        std::vector<Read> batch;
        const auto hand = [&] {
            loop.post([delivery, reading, batch = std::move(batch)]() mutable {
                if (delivery->reading == reading && delivery->deliver) delivery->deliver(std::move(batch));
            });
            batch.clear();
        };
        for (const std::string& path : paths) {
            if (stop.stop_requested()) return;
            batch.push_back({path, readRowTags(control, path, readOther)});
            if (batch.size() == BatchSize) hand();
        }
        if (!batch.empty()) hand();
    });
}

}  // namespace velorra
