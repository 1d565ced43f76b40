#include "link/Transfer.h"

#include <array>

#include "record/Conversions.h"

namespace qv {

namespace {

// Bytes first..last of the block at `address` that a write takes from the radio.
struct KeptBytes {
    std::uint16_t address;
    std::size_t first;
    std::size_t last;
};

// The read-only members.
constexpr std::array kReadOnlyBytes{
    KeptBytes{0x6000, 14, 15},
    KeptBytes{0x6010, 7, 8},
    KeptBytes{0x6020, 4, 15},
    KeptBytes{0x6030, 0, 11},
};

// The reserved bytes 108..113 and offsets 118..127, which no field holds.
constexpr std::array kUnheldBytes{
    KeptBytes{0x6060, 12, 15},
    KeptBytes{0x6070, 0, 1},
    KeptBytes{0x6070, 6, 15},
};

int BlockNumber(std::int16_t address) {
    return (address - CalibrationRecord::kBaseAddress) / static_cast<int>(kBlockSize) + 1;
}

}  // namespace

Transfer::Transfer(SerialPort& port, AnswerTimer& timer, Pause& pause, Notices& notices,
                   FieldTexts& texts, CalibrationRecord& record, FieldRecord& fieldRecord)
    : port_(port),
      timer_(timer),
      pause_(pause),
      notices_(notices),
      texts_(texts),
      record_(record),
      fieldRecord_(fieldRecord) {
    port_.SetHandlers([this](const Frame& block) { HandleReceivedBytes(block); },
                      [this] { HandlePortLost(); });
    timer_.SetTickHandler([this] { WaitTimer_Timer(); });
}

Transfer::~Transfer() {
    port_.SetHandlers({}, {});
    timer_.SetTickHandler({});
}

bool Transfer::StartRead(const std::string& devicePath) {
    timer_.Stop();
    state_.ReadStep = 0;
    state_.TransferMode = kReading;
    identified_ = false;
    if (!OpenCommPort(devicePath)) {
        EndTransfer();
        return false;
    }
    state_.BlockAddress = kBlockAddressBetweenTransfers;
    state_.ReadStep = kStepAccessCodeSent;
    SendAccessCode();
    return true;
}

bool Transfer::StartWrite(const std::string& devicePath) {
    timer_.Stop();
    state_.TransferMode = kWriting;
    state_.WriteStep = 0;
    identified_ = false;
    if (!OpenCommPort(devicePath)) {
        EndTransfer();
        return false;
    }
    keepUnheldBytes_ = !readCompleted_;
    state_.BlockAddress = kBlockAddressBetweenTransfers;
    state_.WriteStep = kStepAccessCodeSent;
    SendAccessCode();
    return true;
}

bool Transfer::OpenCommPort(const std::string& devicePath) {
    CloseCommPort();
    port_.SetDevice(devicePath);
    port_.SetReceiveThreshold(kSingleByteThreshold);
    if (const auto reason = port_.Open()) {
        notices_.Show(std::string(kCannotOpenPort) + "\n" + *reason, NoticeIcon::Stop);
        return false;
    }
    return true;
}

void Transfer::CloseCommPort() {
    if (port_.IsOpen()) {
        port_.Close();
    }
}

void Transfer::HandleReceivedBytes(const Frame& block) {
    if (state_.TransferMode == kIdle) {
        return;
    }
    if (IsAccessAck(block)) {
        AdvanceStep(true);
    } else if (IsIdentification(block)) {
        CheckIdentification(block);
        AdvanceStep(true);
    } else if (IsAck(block)) {
        AcceptEndAck();
        AdvanceStep(true);
    } else if (IsRefusal(block)) {
        HandleRefusal();
    } else if (IsBlockAnswer(block)) {
        if (state_.TransferMode == kWriting) {
            if (!AnswersLastReadRequest(block)) {
                return;
            }
            KeepRadioBytes(block);
        } else {
            StoreBlock(block);
        }
        AdvanceStep(true);
    }
}

// A refused write block is never skipped: it goes again, counted like a re-send. A refused
// END goes again through the step machine, counted the same way, so that a radio that keeps
// refusing ends the transfer instead of holding it for ever.
void Transfer::HandleRefusal() {
    const bool blockRefused = state_.TransferMode == kWriting && !state_.EndPending &&
                              state_.WriteStep == kWriteStepBlocks;
    if (blockRefused) {
        timer_.Stop();
        pause_.Sleep(kStepPauseMs);
        RetryOrGiveUp();
        return;
    }
    if (state_.EndPending && state_.RetryCount >= kResendLimit) {
        EndTransfer();
        notices_.Show(kCommunicationError, NoticeIcon::None);
        return;
    }
    if (state_.EndPending) {
        ++state_.RetryCount;
    }
    AdvanceStep(false);
}

void Transfer::WaitTimer_Timer() {
    timer_.Stop();
    if (state_.TransferMode != kIdle) {
        RetryOrGiveUp();
    }
}

void Transfer::HandlePortLost() {
    if (state_.TransferMode == kIdle) {
        CloseCommPort();
        return;
    }
    EndTransfer();
    notices_.Show(kPortLost, NoticeIcon::Stop);
}

std::int16_t& Transfer::CurrentStep() {
    return state_.TransferMode == kWriting ? state_.WriteStep : state_.ReadStep;
}

void Transfer::AdvanceStep(bool acknowledged) {
    timer_.Stop();
    pause_.Sleep(kStepPauseMs);
    if (state_.TransferMode == kIdle) {
        return;
    }
    std::int16_t& step = CurrentStep();
    if (acknowledged) {
        state_.LastAckStep = step;
    } else {
        step = state_.LastAckStep;
    }
    if (state_.TransferMode == kReading) {
        PerformReadStep();
    } else {
        PerformWriteStep();
    }
}

void Transfer::PerformReadStep() {
    switch (state_.ReadStep) {
        case kStepAccessCodeSent:
            state_.ReadStep = kReadStepBlocks;
            SendIdentifyRequest();
            break;
        case kReadStepBlocks:
            if (ModelUnchecked()) {
                SendIdentifyRequest();
            } else {
                SendNextReadRequest();
            }
            break;
        case kStepModelError:
            ShowModelError();
            break;
        default:
            FinishRead();
    }
}

void Transfer::PerformWriteStep() {
    switch (state_.WriteStep) {
        case kStepAccessCodeSent:
            state_.WriteStep = kWriteStepIdentify;
            SendIdentifyRequest();
            break;
        case kWriteStepIdentify:
            if (ModelUnchecked()) {
                SendIdentifyRequest();
            } else {
                SendPreparationRead(kWriteStepRead6000, 0x6000);
            }
            break;
        case kWriteStepRead6000:
            SendPreparationRead(kWriteStepRead6010, 0x6010);
            break;
        case kWriteStepRead6010:
            SendPreparationRead(kWriteStepRead6020, 0x6020);
            break;
        case kWriteStepRead6020:
            SendPreparationRead(kWriteStepRead6030, 0x6030);
            break;
        case kWriteStepRead6030:
            if (keepUnheldBytes_) {
                SendPreparationRead(kWriteStepRead6060, 0x6060);
            } else {
                SendPreparationRead(kWriteStepLastRead, 0x6070);
            }
            break;
        case kWriteStepRead6060:
            SendPreparationRead(kWriteStepLastRead, 0x6070);
            break;
        case kWriteStepLastRead:
            GatherAndWrite();
            break;
        case kWriteStepBlocks:
            SendNextWriteBlock();
            break;
        case kWriteStepStopped:
            StopWrite();
            break;
        case kStepModelError:
            ShowModelError();
            break;
        default:
            FinishWrite();
    }
}

void Transfer::SendPreparationRead(std::int16_t nextStep, std::uint16_t address) {
    state_.WriteStep = nextStep;
    SendReadRequest(address);
}

void Transfer::GatherAndWrite() {
    if (const auto error = GetDataByShow(texts_, fieldRecord_, record_)) {
        // No block may be built from a text that is not a valid value: end the session.
        writeStopReason_ = error->Message();
        state_.WriteStep = kWriteStepStopped;
        SendEnd();
        return;
    }
    state_.WriteStep = kWriteStepBlocks;
    AdvanceStep(true);
}

void Transfer::CheckIdentification(const Frame& block) {
    const Identification identification = ReadIdentification(block);
    if (observer_ != nullptr) {
        observer_->RadioIdentified(identification.model, identification.version);
    }
    identified_ = true;
    if (!settings_.model.empty() && identification.model != settings_.model) {
        CurrentStep() = kStepModelError;
    }
}

// A lost identification makes the re-sent access code skip it; when the model must be
// checked, it is asked for again instead of going on with an unknown radio.
bool Transfer::ModelUnchecked() const {
    return !settings_.model.empty() && !identified_;
}

void Transfer::AcceptEndAck() {
    if (!state_.EndPending) {
        return;
    }
    state_.EndPending = false;
    timer_.Stop();
    port_.Close();
    pause_.Sleep(kEndPauseMs);
}

void Transfer::RetryOrGiveUp() {
    if (state_.RetryCount < kResendLimit) {
        ++state_.RetryCount;
        ResendLastFrame();
        return;
    }
    EndTransfer();
    notices_.Show(kCommunicationError, NoticeIcon::None);
}

void Transfer::SendAccessCode() {
    state_.EndPending = false;
    port_.ClearBuffers();
    port_.SetReceiveThreshold(kAccessAckThreshold);
    if (!ReopenPort()) {
        return;
    }
    SaveFrame(AccessCodeFrame(settings_.accessCode), kAccessAckThreshold);
    port_.Write(state_.LastFrame);
    timer_.Start();
}

void Transfer::SendIdentifyRequest() {
    timer_.Start();
    TransmitFrame(IdentifyRequestFrame(), kIdentificationThreshold);
}

void Transfer::SendReadRequest(std::uint16_t address) {
    SaveFrame(ReadRequestFrame(address), kBlockAnswerThreshold);
    timer_.Start();
    TransmitFrame(state_.LastFrame, kBlockAnswerThreshold);
}

void Transfer::SendNextReadRequest() {
    state_.BlockAddress = static_cast<std::int16_t>(state_.BlockAddress + kBlockSize);
    if (state_.BlockAddress > kLastBlockAddress) {
        state_.ReadStep = kStepEndSent;
        SendEnd();
        return;
    }
    if (observer_ != nullptr) {
        observer_->BlockStarted(false, BlockNumber(state_.BlockAddress), kBlockCount);
    }
    SendReadRequest(static_cast<std::uint16_t>(state_.BlockAddress));
}

void Transfer::SendNextWriteBlock() {
    state_.BlockAddress = static_cast<std::int16_t>(state_.BlockAddress + kBlockSize);
    if (state_.BlockAddress > kLastBlockAddress) {
        state_.WriteStep = kStepEndSent;
        SendEnd();
        return;
    }
    if (observer_ != nullptr) {
        observer_->BlockStarted(true, BlockNumber(state_.BlockAddress), kBlockCount);
    }
    SaveFrame(WriteBlockFrame(static_cast<std::uint16_t>(state_.BlockAddress), record_),
              kSingleByteThreshold);
    timer_.Start();
    TransmitFrame(state_.LastFrame, kSingleByteThreshold);
}

void Transfer::SendEnd() {
    state_.EndPending = true;
    TransmitFrame(EndFrame(), kSingleByteThreshold);
    timer_.Start();
}

void Transfer::ResendLastFrame() {
    if (!ReopenPort()) {
        return;
    }
    timer_.Start();
    port_.SetReceiveThreshold(state_.LastFrameThreshold);
    port_.ClearBuffers();
    if (!port_.Write(state_.LastFrame)) {
        notices_.Show(kResendError, NoticeIcon::None);
    }
}

void Transfer::TransmitFrame(const Frame& frame, int threshold) {
    port_.ClearBuffers();
    port_.SetReceiveThreshold(threshold);
    port_.Write(frame);
}

void Transfer::SaveFrame(const Frame& frame, int threshold) {
    state_.LastFrame = frame;
    state_.LastFrameThreshold = threshold;
    state_.RetryCount = 0;
}

bool Transfer::ReopenPort() {
    if (port_.IsOpen() || !port_.Open().has_value()) {
        return true;
    }
    // Nothing can be sent without the port, and no answer can come: end here.
    EndTransfer();
    notices_.Show(kResendError, NoticeIcon::None);
    return false;
}

void Transfer::StoreBlock(const Frame& block) {
    const std::uint16_t address = BlockAnswerAddress(block);
    if (address < CalibrationRecord::kBaseAddress || address > kLastBlockAddress) {
        return;
    }
    const std::size_t first = address - CalibrationRecord::kBaseAddress;
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        record_.SetByte(first + i, BlockAnswerByte(block, i));
    }
}

// A write sends back the bytes a preparation read took from the radio, so an answer for
// another block is not taken as the answer: it is dropped and the timer asks again.
bool Transfer::AnswersLastReadRequest(const Frame& block) const {
    return state_.LastFrame == ReadRequestFrame(BlockAnswerAddress(block));
}

void Transfer::KeepRadioBytes(const Frame& block) {
    const std::uint16_t address = BlockAnswerAddress(block);
    const auto keep = [&](const KeptBytes& kept) {
        if (kept.address != address) {
            return;
        }
        for (std::size_t i = kept.first; i <= kept.last; ++i) {
            record_.SetByte(address - CalibrationRecord::kBaseAddress + i,
                            BlockAnswerByte(block, i));
        }
    };
    for (const KeptBytes& kept : kReadOnlyBytes) {
        keep(kept);
    }
    if (keepUnheldBytes_) {
        for (const KeptBytes& kept : kUnheldBytes) {
            keep(kept);
        }
    }
}

void Transfer::FinishRead() {
    EndTransfer();
    state_.BlockAddress = kBlockAddressBetweenTransfers;
    readCompleted_ = true;
    ShowByData(record_, fieldRecord_, texts_);
    notices_.Show(kReadComplete, NoticeIcon::None);
}

void Transfer::FinishWrite() {
    EndTransfer();
    state_.BlockAddress = kBlockAddressBetweenTransfers;
    notices_.Show(kWriteComplete, NoticeIcon::None);
}

void Transfer::StopWrite() {
    EndTransfer();
    state_.BlockAddress = kBlockAddressBetweenTransfers;
    notices_.Show(std::string(kWriteStopped) + "\n" + writeStopReason_, NoticeIcon::Stop);
}

void Transfer::ShowModelError() {
    EndTransfer();
    notices_.Show(languageId_ == kLanguageEnglish ? kModelErrorEnglish : kModelErrorChinese,
                  NoticeIcon::None);
}

void Transfer::EndTransfer() {
    const bool wasRunning = state_.TransferMode != kIdle;
    state_.TransferMode = kIdle;
    timer_.Stop();
    CloseCommPort();
    if (wasRunning && observer_ != nullptr) {
        observer_->TransferEnded();
    }
}

}  // namespace qv
