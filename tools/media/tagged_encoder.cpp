#include "tools/media/tagged_encoder.h"

#include "tools/media/pipeline.h"
#include "tools/media/wav_writer.h"

namespace velorra::media {

namespace {

struct Chain {
    const char* elements;  // encoder and muxer; the element named "tagger" takes the tags
    const char* needs[2];  // element factories that must be installed
};

Chain chainOf(TaggedFormat format) {
    switch (format) {
        case TaggedFormat::Flac: return {"flacenc name=tagger", {"flacenc", nullptr}};
        case TaggedFormat::OggVorbis: return {"vorbisenc name=tagger ! oggmux", {"vorbisenc", "oggmux"}};
        case TaggedFormat::Opus:
            return {"audioresample ! audio/x-raw,rate=48000 ! opusenc name=tagger ! oggmux", {"opusenc", "oggmux"}};
        case TaggedFormat::M4a: return {"avenc_aac ! mp4mux name=tagger", {"avenc_aac", "mp4mux"}};
        case TaggedFormat::Mp3Id3v2: return {"lamemp3enc ! id3mux name=tagger", {"lamemp3enc", "id3mux"}};
    }
    return {};
}

GstTagList* tagList(const SongTags& tags) {
    GstTagList* list = gst_tag_list_new_empty();
    const auto put = [&](const char* tag, const std::string& value) {
        if (!value.empty()) gst_tag_list_add(list, GST_TAG_MERGE_REPLACE, tag, value.c_str(), nullptr);
    };
    put(GST_TAG_TITLE, tags.title);
    put(GST_TAG_ARTIST, tags.artist);
    put(GST_TAG_ALBUM, tags.album);
    put(GST_TAG_GENRE, tags.genre);
    put(GST_TAG_COMMENT, tags.comment);
    if (tags.year != 0) {
        // mp4mux writes its year atom from a date only; the others take a year alone.
        GstDateTime* year = gst_date_time_new_y(tags.year);
        gst_tag_list_add(list, GST_TAG_MERGE_REPLACE, GST_TAG_DATE_TIME, year, nullptr);
        gst_date_time_unref(year);
        GDate* date = g_date_new_dmy(1, G_DATE_JANUARY, static_cast<GDateYear>(tags.year));
        gst_tag_list_add(list, GST_TAG_MERGE_REPLACE, GST_TAG_DATE, date, nullptr);
        g_date_free(date);
    }
    return list;
}

}  // namespace

bool canEncode(TaggedFormat format) {
    parsePipeline("fakesrc num-buffers=0 ! fakesink");  // GStreamer is initialised
    for (const char* name : chainOf(format).needs) {
        if (!name) continue;
        GstElementFactory* factory = gst_element_factory_find(name);
        if (!factory) return false;
        gst_object_unref(factory);
    }
    return true;
}

void writeTagged(const std::filesystem::path& path, TaggedFormat format, const Melody& melody, double seconds,
                 const SongTags& tags) {
    auto wav = path;
    wav += ".source.wav";
    writeWav(wav, melody, seconds);
    const auto pipeline = parsePipeline(std::string("filesrc name=src ! wavparse ! audioconvert ! ") +
                                        chainOf(format).elements + " ! filesink name=sink");
    g_object_set(elementByName(pipeline.get(), "src").get(), "location", wav.c_str(), nullptr);
    g_object_set(elementByName(pipeline.get(), "sink").get(), "location", path.c_str(), nullptr);
    GstTagList* list = tagList(tags);
    gst_tag_setter_merge_tags(GST_TAG_SETTER(elementByName(pipeline.get(), "tagger").get()), list,
                              GST_TAG_MERGE_REPLACE);
    gst_tag_list_unref(list);
    runToEnd(pipeline.get());
    std::filesystem::remove(wav);
}

}  // namespace velorra::media
