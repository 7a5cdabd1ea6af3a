#pragma once
// A LOG of TeX Live of about 10 MB with many bad boxes for the LOG benchmarks: the box
// warnings of a real LOG (tests/processing/logs/boxes.log) repeated between its own
// beginning and end.
#include <QString>
#include <string>

#include "platform/textfile.h"

inline std::string largeLog(size_t size = 10 * 1024 * 1024) {
    const std::string sample =
        platform::readFileBytes(QString::fromUtf8(KOLBAX_LOG_SAMPLES "/boxes.log"));
    const size_t from = sample.find("\nOverfull") + 1;
    const size_t to = sample.find("\n[1", from) + 1;
    const std::string boxes = sample.substr(from, to - from);
    std::string log = sample.substr(0, from);
    while (log.size() + boxes.size() + (sample.size() - to) < size)
        log += boxes;
    return log + sample.substr(to);
}
