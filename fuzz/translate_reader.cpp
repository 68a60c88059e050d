// Feeds arbitrary bytes to the translate.dat reader, then looks a few texts up. A damaged
// store may load partly, but must never crash, read out of bounds or allocate on a count
// the data cannot hold.

#include "i18n/translateunit.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pw::TranslationStore store;
    store.setCollectNewTexts(false);
    store.loadFromData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    for (int slot = 0; slot < 4; ++slot) {
        store.setLanguage(slot);
        for (int r = 0; r < store.rowCount() && r < 8; ++r)
            store.TranslateText(QStringLiteral("  ") + store.row(r)[0] + QStringLiteral(" "));
        store.GetMessageText(1);
    }
    if (store.fileImage().size() < 8)
        __builtin_trap();
    return 0;
}
