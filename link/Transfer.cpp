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

int blockNumber(std::int16_t address) {
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
    port_.setHandlers([this](const Frame& block) { handleReceivedBytes(block); },
                      [this] { handlePortLost(); });
    timer_.setTickHandler([this] { WaitTimer_Timer(); });
}

Transfer::~Transfer() {
    port_.setHandlers({}, {});
    timer_.setTickHandler({});
}

bool Transfer::startRead(const std::string& devicePath) {
    timer_.stop();
    state_.ReadStep = 0;
    state_.TransferMode = kReading;
    identified_ = false;
    if (!openCommPort(devicePath)) {
        endTransfer();
        return false;
    }
    state_.BlockAddress = kBlockAddressBetweenTransfers;
    state_.ReadStep = kStepAccessCodeSent;
    sendAccessCode();
    return true;
}

bool Transfer::startWrite(const std::string& devicePath) {
    timer_.stop();
    state_.TransferMode = kWriting;
    state_.WriteStep = 0;
    identified_ = false;
    if (!openCommPort(devicePath)) {
        endTransfer();
        return false;
    }
    keepUnheldBytes_ = !readCompleted_;
    state_.BlockAddress = kBlockAddressBetweenTransfers;
    state_.WriteStep = kStepAccessCodeSent;
    sendAccessCode();
    return true;
}

bool Transfer::openCommPort(const std::string& devicePath) {
    closeCommPort();
    port_.setDevice(devicePath);
    port_.setReceiveThreshold(kSingleByteThreshold);
    if (const auto reason = port_.open()) {
        notices_.show(std::string(kCannotOpenPort) + "\n" + *reason, NoticeIcon::Stop);
        return false;
    }
    return true;
}

void Transfer::closeCommPort() {
    if (port_.isOpen()) {
        port_.close();
    }
}

void Transfer::handleReceivedBytes(const Frame& block) {
    if (state_.TransferMode == kIdle) {
        return;
    }
    if (isAccessAck(block)) {
        advanceStep(true);
    } else if (isIdentification(block)) {
        checkIdentification(block);
        advanceStep(true);
    } else if (isAck(block)) {
        acceptEndAck();
        advanceStep(true);
    } else if (isRefusal(block)) {
        handleRefusal();
    } else if (isBlockAnswer(block)) {
        if (state_.TransferMode == kWriting) {
            if (!answersLastReadRequest(block)) {
                return;
            }
            keepRadioBytes(block);
        } else {
            storeBlock(block);
        }
        advanceStep(true);
    }
}

// A refused write block is never skipped: it goes again, counted like a re-send. A refused
// END goes again through the step machine, counted the same way, so that a radio that keeps
// refusing ends the transfer instead of holding it for ever.
void Transfer::handleRefusal() {
    const bool blockRefused = state_.TransferMode == kWriting && !state_.EndPending &&
                              state_.WriteStep == kWriteStepBlocks;
    if (blockRefused) {
        timer_.stop();
        pause_.sleep(kStepPauseMs);
        retryOrGiveUp();
        return;
    }
    if (state_.EndPending && state_.RetryCount >= kResendLimit) {
        endTransfer();
        notices_.show(kCommunicationError, NoticeIcon::None);
        return;
    }
    if (state_.EndPending) {
        ++state_.RetryCount;
    }
    advanceStep(false);
}

void Transfer::WaitTimer_Timer() {
    timer_.stop();
    if (state_.TransferMode != kIdle) {
        retryOrGiveUp();
    }
}

void Transfer::handlePortLost() {
    if (state_.TransferMode == kIdle) {
        closeCommPort();
        return;
    }
    endTransfer();
    notices_.show(kPortLost, NoticeIcon::Stop);
}

std::int16_t& Transfer::currentStep() {
    return state_.TransferMode == kWriting ? state_.WriteStep : state_.ReadStep;
}

void Transfer::advanceStep(bool acknowledged) {
    timer_.stop();
    pause_.sleep(kStepPauseMs);
    if (state_.TransferMode == kIdle) {
        return;
    }
    std::int16_t& step = currentStep();
    if (acknowledged) {
        state_.LastAckStep = step;
    } else {
        step = state_.LastAckStep;
    }
    if (state_.TransferMode == kReading) {
        performReadStep();
    } else {
        performWriteStep();
    }
}

void Transfer::performReadStep() {
    switch (state_.ReadStep) {
        case kStepAccessCodeSent:
            state_.ReadStep = kReadStepBlocks;
            sendIdentifyRequest();
            break;
        case kReadStepBlocks:
            if (modelUnchecked()) {
                sendIdentifyRequest();
            } else {
                sendNextReadRequest();
            }
            break;
        case kStepModelError:
            showModelError();
            break;
        default:
            finishRead();
    }
}

void Transfer::performWriteStep() {
    switch (state_.WriteStep) {
        case kStepAccessCodeSent:
            state_.WriteStep = kWriteStepIdentify;
            sendIdentifyRequest();
            break;
        case kWriteStepIdentify:
            if (modelUnchecked()) {
                sendIdentifyRequest();
            } else {
                sendPreparationRead(kWriteStepRead6000, 0x6000);
            }
            break;
        case kWriteStepRead6000:
            sendPreparationRead(kWriteStepRead6010, 0x6010);
            break;
        case kWriteStepRead6010:
            sendPreparationRead(kWriteStepRead6020, 0x6020);
            break;
        case kWriteStepRead6020:
            sendPreparationRead(kWriteStepRead6030, 0x6030);
            break;
        case kWriteStepRead6030:
            if (keepUnheldBytes_) {
                sendPreparationRead(kWriteStepRead6060, 0x6060);
            } else {
                sendPreparationRead(kWriteStepLastRead, 0x6070);
            }
            break;
        case kWriteStepRead6060:
            sendPreparationRead(kWriteStepLastRead, 0x6070);
            break;
        case kWriteStepLastRead:
            gatherAndWrite();
            break;
        case kWriteStepBlocks:
            sendNextWriteBlock();
            break;
        case kWriteStepStopped:
            stopWrite();
            break;
        case kStepModelError:
            showModelError();
            break;
        default:
            finishWrite();
    }
}

void Transfer::sendPreparationRead(std::int16_t nextStep, std::uint16_t address) {
    state_.WriteStep = nextStep;
    sendReadRequest(address);
}

void Transfer::gatherAndWrite() {
    if (const auto error = textsToImage(texts_, fieldRecord_, record_)) {
        // No block may be built from a text that is not a valid value: end the session.
        writeStopReason_ = error->message();
        state_.WriteStep = kWriteStepStopped;
        sendEnd();
        return;
    }
    state_.WriteStep = kWriteStepBlocks;
    advanceStep(true);
}

void Transfer::checkIdentification(const Frame& block) {
    const Identification identification = readIdentification(block);
    if (observer_ != nullptr) {
        observer_->radioIdentified(identification.model, identification.version);
    }
    identified_ = true;
    if (!settings_.model.empty() && identification.model != settings_.model) {
        currentStep() = kStepModelError;
    }
}

// A lost identification makes the re-sent access code skip it; when the model must be
// checked, it is asked for again instead of going on with an unknown radio.
bool Transfer::modelUnchecked() const {
    return !settings_.model.empty() && !identified_;
}

void Transfer::acceptEndAck() {
    if (!state_.EndPending) {
        return;
    }
    state_.EndPending = false;
    timer_.stop();
    port_.close();
    pause_.sleep(kEndPauseMs);
}

void Transfer::retryOrGiveUp() {
    if (state_.RetryCount < kResendLimit) {
        ++state_.RetryCount;
        resendLastFrame();
        return;
    }
    endTransfer();
    notices_.show(kCommunicationError, NoticeIcon::None);
}

void Transfer::sendAccessCode() {
    state_.EndPending = false;
    port_.clearBuffers();
    port_.setReceiveThreshold(kAccessAckThreshold);
    if (!reopenPort()) {
        return;
    }
    saveFrame(accessCodeFrame(settings_.accessCode), kAccessAckThreshold);
    port_.write(state_.LastFrame);
    timer_.start();
}

void Transfer::sendIdentifyRequest() {
    timer_.start();
    transmitFrame(identifyRequestFrame(), kIdentificationThreshold);
}

void Transfer::sendReadRequest(std::uint16_t address) {
    saveFrame(readRequestFrame(address), kBlockAnswerThreshold);
    timer_.start();
    transmitFrame(state_.LastFrame, kBlockAnswerThreshold);
}

void Transfer::sendNextReadRequest() {
    state_.BlockAddress = static_cast<std::int16_t>(state_.BlockAddress + kBlockSize);
    if (state_.BlockAddress > kLastBlockAddress) {
        state_.ReadStep = kStepEndSent;
        sendEnd();
        return;
    }
    if (observer_ != nullptr) {
        observer_->blockStarted(false, blockNumber(state_.BlockAddress), kBlockCount);
    }
    sendReadRequest(static_cast<std::uint16_t>(state_.BlockAddress));
}

void Transfer::sendNextWriteBlock() {
    state_.BlockAddress = static_cast<std::int16_t>(state_.BlockAddress + kBlockSize);
    if (state_.BlockAddress > kLastBlockAddress) {
        state_.WriteStep = kStepEndSent;
        sendEnd();
        return;
    }
    if (observer_ != nullptr) {
        observer_->blockStarted(true, blockNumber(state_.BlockAddress), kBlockCount);
    }
    saveFrame(writeBlockFrame(static_cast<std::uint16_t>(state_.BlockAddress), record_),
              kSingleByteThreshold);
    timer_.start();
    transmitFrame(state_.LastFrame, kSingleByteThreshold);
}

void Transfer::sendEnd() {
    state_.EndPending = true;
    transmitFrame(endFrame(), kSingleByteThreshold);
    timer_.start();
}

void Transfer::resendLastFrame() {
    if (!reopenPort()) {
        return;
    }
    timer_.start();
    port_.setReceiveThreshold(state_.LastFrameThreshold);
    port_.clearBuffers();
    if (!port_.write(state_.LastFrame)) {
        notices_.show(kResendError, NoticeIcon::None);
    }
}

void Transfer::transmitFrame(const Frame& frame, int threshold) {
    port_.clearBuffers();
    port_.setReceiveThreshold(threshold);
    port_.write(frame);
}

void Transfer::saveFrame(const Frame& frame, int threshold) {
    state_.LastFrame = frame;
    state_.LastFrameThreshold = threshold;
    state_.RetryCount = 0;
}

bool Transfer::reopenPort() {
    if (port_.isOpen() || !port_.open().has_value()) {
        return true;
    }
    // Nothing can be sent without the port, and no answer can come: end here.
    endTransfer();
    notices_.show(kResendError, NoticeIcon::None);
    return false;
}

void Transfer::storeBlock(const Frame& block) {
    const std::uint16_t address = blockAnswerAddress(block);
    if (address < CalibrationRecord::kBaseAddress || address > kLastBlockAddress) {
        return;
    }
    const std::size_t first = address - CalibrationRecord::kBaseAddress;
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        record_.setByte(first + i, blockAnswerByte(block, i));
    }
}

// A write sends back the bytes a preparation read took from the radio, so an answer for
// another block is not taken as the answer: it is dropped and the timer asks again.
bool Transfer::answersLastReadRequest(const Frame& block) const {
    return state_.LastFrame == readRequestFrame(blockAnswerAddress(block));
}

void Transfer::keepRadioBytes(const Frame& block) {
    const std::uint16_t address = blockAnswerAddress(block);
    const auto keep = [&](const KeptBytes& kept) {
        if (kept.address != address) {
            return;
        }
        for (std::size_t i = kept.first; i <= kept.last; ++i) {
            record_.setByte(address - CalibrationRecord::kBaseAddress + i,
                            blockAnswerByte(block, i));
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

void Transfer::finishRead() {
    endTransfer();
    state_.BlockAddress = kBlockAddressBetweenTransfers;
    readCompleted_ = true;
    imageToTexts(record_, fieldRecord_, texts_);
    notices_.show(kReadComplete, NoticeIcon::None);
}

void Transfer::finishWrite() {
    endTransfer();
    state_.BlockAddress = kBlockAddressBetweenTransfers;
    notices_.show(kWriteComplete, NoticeIcon::None);
}

void Transfer::stopWrite() {
    endTransfer();
    state_.BlockAddress = kBlockAddressBetweenTransfers;
    notices_.show(std::string(kWriteStopped) + "\n" + writeStopReason_, NoticeIcon::Stop);
}

void Transfer::showModelError() {
    endTransfer();
    notices_.show(languageId_ == kLanguageEnglish ? kModelErrorEnglish : kModelErrorChinese,
                  NoticeIcon::None);
}

void Transfer::endTransfer() {
    const bool wasRunning = state_.TransferMode != kIdle;
    state_.TransferMode = kIdle;
    timer_.stop();
    closeCommPort();
    if (wasRunning && observer_ != nullptr) {
        observer_->transferEnded();
    }
}

}  // namespace qv
