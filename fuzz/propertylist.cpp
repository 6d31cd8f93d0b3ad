// Property lists, binary or XML, as files, links and the local socket bring them:
// whatever reads must write, and read back to the very same record; the definition
// checks, the upgrade and the log mask take any record.

#include "config/CameraProfileUpdater.h"
#include "config/DefinitionCheck.h"
#include "config/LogMask.h"
#include "config/PropertyList.h"
#include "fuzz/FuzzCheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QString error;
    const Value record = PropertyList::fromData(input, &error);
    FUZZ_CHECK(record.isNull() != error.isEmpty());
    if (record.isNull())
        return 0;

    const QByteArray written = PropertyList::toBinary(record, &error);
    FUZZ_CHECK(!written.isEmpty());
    const Value again = PropertyList::fromData(written, &error);
    FUZZ_CHECK(!again.isNull());
    // libplist's binary writer shares repeated equal data objects only by chance, so two
    // writes of one record may differ in bytes; what they hold may not.
    const QByteArray xml = PropertyList::toXml(record, nullptr);
    FUZZ_CHECK(PropertyList::toXml(again, nullptr) == xml);
    PropertyList::fromData(xml, nullptr);

    DefinitionCheck::groupListProblem(record);
    DefinitionCheck::groupProblem(record);
    DefinitionCheck::cameraProblem(record);
    LogMask::definition(record);
    if (record.isArray())
        CameraProfileUpdater::loadFilter(record.deepCopy());
    if (record.isDictionary()) {
        CameraProfileUpdater::convertGroupDefinition(record.deepCopy());
        CameraProfileUpdater::convertCameraDefinition(record.deepCopy());
    }
    return 0;
}
