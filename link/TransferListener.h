#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "link/Frames.h"
#include "record/CalibrationRecord.h"
#include "record/Conversions.h"

namespace qv {

enum class TransferKind { Read, Write, Identify };

// What the radio's rest after END holds up: a write's completion (the radio may still be
// storing what it took), or anything else (a transfer's first frame, the end of the session).
enum class RestKind { Storing, Resting };

// What a write sent and what the radio held when it was read back.
struct WriteMismatch {
    CalibrationRecord sent;
    CalibrationRecord kept;
};

// Why a transfer ended without completing.
struct TransferFailure {
    enum class Kind {
        PortUnavailable,  // the port could not be opened: `reason` says why, in plain words
        NoAnswer,         // silence (or refusal) after three re-sends of one exchange
        ReopenFailed,     // a re-send found the port closed and could not open it again
        PortLost,         // the device went away while the transfer ran
        WrongModel,       // the radio named another model: `radio` says which
        InvalidField,     // a field held no value a write could send: `field` says which
        BackupFailed,     // the radio's memory could not be kept before a write: `reason`
        AnswersDiffer,    // no answer for `block` checked out, nor did two of them agree
        NotKept,          // the memory read back after a write is not what it sent: `mismatch`
    };
    Kind kind = Kind::NoAnswer;
    std::string reason;
    Identification radio;
    std::optional<GatherError> field;
    std::uint16_t block = 0;
    std::optional<WriteMismatch> mismatch;
};

// What a transfer tells its owner. The outcomes (completed or failed) come once per started
// transfer, after the port is closed and the answer timer stopped, and the owner may start the
// next transfer from them; a transfer abandoned, or replaced by the start of another, reports
// nothing more. The progress calls come while the transfer runs or the radio rests after it:
// they only show.
class TransferListener {
public:
    virtual ~TransferListener() = default;
    // The request for block `block` (1..count) goes out, kind Read (in a read, and in the
    // reading a write begins with), or that block itself, kind Write.
    virtual void onBlockStarted(TransferKind kind, int block, int count) = 0;
    virtual void onIdentified(const Identification& radio) = 0;
    // A write's rest is over: the radio's memory is read back, in a session of its own, and
    // compared with what was sent. Its blocks are reported as reads.
    virtual void onReadBackStarted() {}
    // The radio's whole memory.
    virtual void onReadCompleted(const CalibrationRecord& image) = 0;
    // The radio acknowledged every block and END, and, unless the write left it out, holds what
    // was sent.
    virtual void onWriteCompleted() = 0;
    // An identification confirmed by END; a listener that never identifies need not care.
    virtual void onIdentifyCompleted(const Identification& /*radio*/) {}
    virtual void onFailed(const TransferFailure& failure) = 0;
    // The radio rests after END and takes no frame: once a second while something waits for the
    // rest, with the whole seconds left. A read's or identification's rest is counted after its
    // outcome, from 2 s; a write's and a transfer's waiting to start, from their first second.
    virtual void onResting(RestKind /*kind*/, int /*secondsLeft*/) {}
    // The rest after an outcome is over (see resting()).
    virtual void onRestOver() {}
    // The port opened before every program that could hold it was looked at.
    virtual void onHoldersUnchecked() {}
};

}  // namespace qv
