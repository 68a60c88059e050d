// Feeds arbitrary bytes to the template-file reader; whatever it reads must write out again.

#include "model/vorlage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList captions = pw::ParseVorlage(QByteArrayView(data, qsizetype(size)));
    const QByteArray image = pw::VorlageImage(captions);
    if (image.count("\r\n") < captions.size())
        __builtin_trap();
    return 0;
}
