// Control interface of the recording sensor library: a pass-through library that
// stands where the plug-in looks for its sensor library, forwards the seven sensor
// calls to the real one and writes every reading to a recording file.
#pragma once

#include <cstdint>

#include "platform/export.h"

extern "C" {
// Loads the real sensor library from `sensorLibrary` (a full path) and starts a
// recording in `file`, truncating it, which messages call `name` (the file it will be
// renamed to); all three UTF-8. Answers 1, or 0 with the reason in
// birdrecord_error(); nothing is forwarded before a successful start.
TRACKER_EXPORT std::int32_t birdrecord_start(const char* sensorLibrary, const char* file,
                                             const char* name);
// The full path of the real sensor library; empty before a successful start.
TRACKER_EXPORT const char* birdrecord_sensorLibrary();
// Writes what is buffered to the file. Answers 1, or 0 once any write has failed.
TRACKER_EXPORT std::int32_t birdrecord_flush();
// Flushes the file to the disk and closes it; the calls are still forwarded
// afterwards. Answers 1, or 0 when a write or the close failed.
TRACKER_EXPORT std::int32_t birdrecord_finish();
// Why the last start, flush or finish failed, as a sentence naming the file.
TRACKER_EXPORT const char* birdrecord_error();
// The time written with the last reading call of a device index, in milliseconds
// since the recording started; -1 when none was written.
TRACKER_EXPORT std::int64_t birdrecord_lastTime(std::int32_t deviceIndex);
}
