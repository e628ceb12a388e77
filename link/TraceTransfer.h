// Files in the instrument's own memory: storing a channel's full record as a
// trace file, fetching a file as a definite-length block and deleting it.
// The caller owns the link (LinkBusy) for each call.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "link/Transport.h"
#include "platform/visa/Visa.h"

// The name the instrument keeps a file under while the program moves it:
// "TEMP_FILE" and the extension of `name` from its last "." on.
std::string TemporaryFileName(std::string_view name);

// Has the instrument store `channel` (0 or 1) as its temporary file for
// `name` and checks its error queue in the same write. 0 when the
// instrument reported no error; 1 otherwise (a channel outside 0..1 sends
// nothing).
int StoreTraceOnInstrument(ViSession session, std::string_view name, int channel);

// Asks for the file `name` and reads the block into `buffer` from its first
// byte. A block that would not fit `buffer` is not read (ok false); `status`
// is the status of the last read.
BlockRead FetchInstrumentFile(ViSession session, std::string_view name, std::span<std::uint8_t> buffer);

// Deletes the temporary file for `name` (temporary nonzero) or the file
// named by the part of `name` after its last backslash. The write status.
ViStatus DeleteInstrumentFile(ViSession session, std::string_view name, int temporary);

// Reads the error queue until it reports no error (at most a queue's worth
// of entries), so that an error left by an earlier command is not taken for
// the next check's answer. True when the queue ended empty.
bool ClearErrorQueue(ViSession session);
