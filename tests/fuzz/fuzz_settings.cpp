// The settings table: any file loads without harm, and what is loaded is saved and loaded back
// to the same table.
#include "tests/fuzz/fuzzcheck.h"
#include "host/core/stringhashtable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

using namespace quib;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString input = dir.filePath("input.properties");
    const QString output = dir.filePath("output.properties");
    {
        QFile file(input);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) == qint64(size));
    }
    std::unique_ptr<TStringHashTable> table;
    try {
        table = TStringHashTable::LoadFromFile(input);
    } catch (const std::exception&) {
        return 0;  // refused with a message: fine
    }
    FUZZ_CHECK(table);
    table->SaveToFile(output);
    const auto again = TStringHashTable::LoadFromFile(output);
    FUZZ_CHECK(again && again->Strings() == table->Strings());
    for (int i = 0; i < table->GetCount(); ++i)
        FUZZ_CHECK(again->GetValue(table->GetKey(i), "\x01") == table->GetValue(table->GetKey(i), "\x02"));
    return 0;
}
