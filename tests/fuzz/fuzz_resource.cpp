// The resource-site reader: the first byte picks the way in (an answer of either form, JSON, XML,
// or lines taken as record addresses and play lists), the rest is the input. Whatever it holds
// ends as records and warnings: never more episodes than the input has characters, and every
// record address it accepts is built back into one it reads the same.
#include "collect/resourceapi.h"
#include "tests/fuzz/fuzzcheck.h"

#include <cstdint>
#include <string>

using namespace quib;
using namespace quib::collect;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 4 == 3) {
        const QStringList lines = QString::fromUtf8(input.data(), qsizetype(input.size())).split('\n');
        for (const QString& line : lines) {
            if (const auto address = ParseResourceAddress(line)) {
                const auto again = ParseResourceAddress(ResourceRecordAddress(*address));
                FUZZ_CHECK(again && again->id == address->id);
            }
        }
        QStringList warnings;
        const auto sources = SplitPlayLists(lines.value(0), lines.mid(1).join('#'), warnings);
        std::size_t episodes = 0;
        for (const ResourceSource& source : sources)
            episodes += source.episodes.size();
        FUZZ_CHECK(episodes <= input.size());
        return 0;
    }
    const ResourcePage page = data[0] % 4 == 0   ? ParseResourceAnswer(input)
                              : data[0] % 4 == 1 ? ParseResourceJson(input)
                                                 : ParseResourceXml(input);
    FUZZ_CHECK(page.Ok() || page.records.empty());
    std::size_t episodes = 0;
    for (const ResourceRecord& record : page.records) {
        FUZZ_CHECK(!record.id.isEmpty());
        FUZZ_CHECK(record.EpisodeCount() <= kResourceMaxEpisodes);
        for (const ResourceSource& source : record.sources) {
            FUZZ_CHECK(!source.name.isEmpty() && !source.episodes.empty());
            for (const ResourceEpisode& episode : source.episodes)
                FUZZ_CHECK(!episode.address.isEmpty());
            episodes += source.episodes.size();
        }
    }
    FUZZ_CHECK(episodes <= input.size());
    return 0;
}
