#pragma once

#include "acquisitionfamily.h"

#include <QString>

// Init and Trace of the Trace tab, for every device row; the window and trovik-cli both run
// exactly these.

// Init, once the instrument session is open: identification ("*IDN?" into idnReply), the
// row's preparation, the options ("*OPT?") into context.options, return to local, then the
// row's checks: Alder needs option Q52 (MissingOption); Rowan's sample rate is lowered to
// what its options allow, Walnut's and Juniper's to 45 MHz without Q31. A failing VISA step
// is InitFailed.
AcquisitionStatus identifyInstrument(InstrumentContext &context);

// Trace: the row family's sequence and data read (see AcquisitionFamily). On success the
// record is stamped with what describes its samples, here and nowhere else: the sample rate
// and reference level the Trace worked with (after what the instrument reported), the count
// it holds, the centre frequency where the row asks for or sends one (else marked unknown),
// the capture time (UTC) and the instrument's trimmed *IDN? reply.
void stampRecord(const InstrumentContext &context, IqBuffer &record);
AcquisitionStatus acquireTrace(InstrumentContext &context, IqBuffer &record);

// After a cancelled read the instrument is still in its I/Q mode and may still be sending the
// rest of its block: clear the session (device clear), discard what still arrives (until
// 200 ms of silence, 3 s at most), then switch I/Q off, reset it, restart the continuous
// sweep and restore the 10 s timeout; when even switching off fails on GPIB, send the
// instrument to local. The restore's own replies are waited for 2 s at most.
void restoreAfterCancel(ViSession session, const QString &resourceString);

// The commands of that restore alone, on a session with nothing left to read (a fresh
// connection).
void sendRestoreCommands(ViSession session, const QString &resourceString);

// Reads and drops whatever the session still receives, until it has been silent for 200 ms
// (3 s at most); the session's timeout is kept.
void drainSession(ViSession session);

// Whether the resource is a raw socket ("...::SOCKET"): it has no device clear, and a reply
// the instrument is still preparing can come at any later time.
bool isRawSocket(const QString &resourceString);
