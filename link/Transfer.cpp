#include "link/Transfer.h"

#include <algorithm>
#include <cassert>

namespace qv {

namespace {

constexpr int kBlockCount = 8;
constexpr int kResendLimit = 3;

std::uint16_t blockAddress(int block) {
    assert(block >= 0 && block < kBlockCount);
    return static_cast<std::uint16_t>(CalibrationRecord::kBaseAddress + block * kBlockSize);
}

int blockNumber(std::uint16_t address) {
    return static_cast<int>((address - CalibrationRecord::kBaseAddress) / kBlockSize) + 1;
}

std::size_t blockOffset(std::uint16_t address) {
    return address - CalibrationRecord::kBaseAddress;
}

TransferFailure failureOf(TransferFailure::Kind kind) {
    TransferFailure failure;
    failure.kind = kind;
    return failure;
}

}  // namespace

Transfer::Transfer(SerialPort& port, AnswerTimer& timer, StepTimer& steps, RestRecord& rests,
                   TransferListener& listener)
    : port_(port), timer_(timer), steps_(steps), rests_(rests), listener_(listener) {
    port_.setHandlers([this](const Frame& block) { onReceived(block); }, [this] { onPortLost(); });
    timer_.setTickHandler([this] { onAnswerTimeout(); });
    steps_.setDueHandler([this] { onStepDue(); });
}

Transfer::~Transfer() {
    port_.setHandlers({}, {});
    timer_.setTickHandler({});
    steps_.setDueHandler({});
    steps_.cancel();
}

void Transfer::startRead(const std::string& device) {
    std::vector<Exchange> plan = readingAll();
    plan.push_back({Step::End, 0, endFrame(), kSingleByteThreshold});
    start(TransferKind::Read, device, std::move(plan));
}

void Transfer::startWrite(const std::string& device, Gather gather, Backup backup,
                          ReadBack readBack) {
    std::vector<Exchange> plan = readingAll();
    plan.push_back({Step::Backup, 0, {}, 0});
    plan.push_back({Step::Gather, 0, {}, 0});
    for (int block = 0; block < kBlockCount; ++block) {
        plan.push_back({Step::WriteBlock, blockAddress(block), {}, kSingleByteThreshold});
    }
    plan.push_back({Step::End, 0, endFrame(), kSingleByteThreshold});
    gather_ = std::move(gather);
    backup_ = std::move(backup);
    start(TransferKind::Write, device, std::move(plan), readBack);
}

void Transfer::startIdentify(const std::string& device) {
    std::vector<Exchange> plan = opening();
    plan.push_back({Step::End, 0, endFrame(), kSingleByteThreshold});
    start(TransferKind::Identify, device, std::move(plan));
}

void Transfer::abandon() {
    end();
}

std::vector<Transfer::Exchange> Transfer::opening() const {
    return {{Step::AccessCode, 0, accessCodeFrame(settings_.accessCode), kAccessAckThreshold},
            {Step::Identify, 0, identifyRequestFrame(), kIdentificationThreshold}};
}

std::vector<Transfer::Exchange> Transfer::readingAll() const {
    std::vector<Exchange> plan = opening();
    for (int block = 0; block < kBlockCount; ++block) {
        const std::uint16_t address = blockAddress(block);
        plan.push_back(
            {Step::ReadBlock, address, readRequestFrame(address), kBlockAnswerThreshold});
    }
    return plan;
}

// A rest recorded further off than a whole rest was not written by one on this clock: it is
// not believed, so a damaged record never holds a transfer up longer than a rest.
void Transfer::start(TransferKind kind, const std::string& device, std::vector<Exchange> plan,
                     ReadBack readBack) {
    end();
    kind_ = kind;
    device_ = device;
    plan_ = std::move(plan);
    current_ = 0;
    identificationLost_ = false;
    identification_ = {};
    stopped_.reset();
    readBack_ = readBack;
    readingBack_ = false;
    const auto latest = steps_.now() + kRest;
    const auto recorded = rests_.restsUntil(device);
    restEnd_ = std::max(restDevice_ == device ? restEnd_ : StepTimer::Clock::time_point{},
                        recorded <= latest ? recorded : StepTimer::Clock::time_point{});
    restDevice_ = device;
    step_ = Step::Waiting;
    countRest();
}

void Transfer::open() {
    step_ = Step::AccessCode;
    port_.setDevice(device_);
    port_.setReceiveThreshold(kSingleByteThreshold);
    if (auto reason = port_.open()) {
        fail(TransferFailure::Kind::PortUnavailable, std::move(*reason));
        return;
    }
    if (!port_.checkedEveryHolder()) {
        listener_.onHoldersUnchecked();
    }
    send();
}

void Transfer::send() {
    assert(current_ < plan_.size());
    const Exchange& exchange = plan_[current_];
    step_ = exchange.step;
    // The identify request is not kept for re-sending: it spends the access code's re-sends.
    if (step_ != Step::Identify) {
        resends_ = 0;
    }
    unchecked_.clear();
    transmit(exchange);
    if (step_ == Step::ReadBlock || step_ == Step::WriteBlock) {
        // A write reads first: its reads show as reads.
        listener_.onBlockStarted(
            step_ == Step::ReadBlock ? TransferKind::Read : TransferKind::Write,
            blockNumber(exchange.address), kBlockCount);
    }
}

void Transfer::transmit(const Exchange& exchange) {
    port_.clearBuffers();
    port_.setReceiveThreshold(exchange.threshold);
    // A frame the port does not take is a frame without an answer: the answer timer sends it
    // again, and a port that keeps refusing ends the transfer once the re-sends are spent.
    frameSent_ = port_.write(exchange.frame);
    timer_.start();
}

// Each exchange takes only the answer it waits for; anything else is dropped, and the answer
// timer decides what happens next.
void Transfer::onReceived(const Frame& block) {
    // Nothing answers a frame that never went out: a late acknowledgement of the block before
    // must not confirm an END the port refused.
    if (!frameSent_) {
        return;
    }
    switch (step_) {
        case Step::AccessCode:
            if (isAccessAck(block)) {
                moveOn();
            }
            break;
        case Step::Identify:
            if (isIdentification(block)) {
                identified(readIdentification(block));
            }
            break;
        case Step::ReadBlock:
            if (!answersRequest(block)) {
                break;
            }
            if (checked(block)) {
                storeBlock(block);
                moveOn();
            } else {
                timer_.stop();
                pause(Step::Unchecked);
            }
            break;
        case Step::WriteBlock:
        case Step::End:
            if (isAck(block) && step_ == Step::End) {
                endAcknowledged();
            } else if (isAck(block)) {
                moveOn();
            } else if (isRefusal(block)) {
                refused();
            }
            break;
        case Step::Idle:
        case Step::Waiting:
        case Step::Backup:
        case Step::Gather:
        case Step::Pausing:
        case Step::Refused:
        case Step::Unchecked:
        case Step::Stopping:
        case Step::Settling:
        case Step::Storing:
            break;
    }
}

void Transfer::onAnswerTimeout() {
    timer_.stop();
    if (awaitsAnswer()) {
        resendOrGiveUp(TransferFailure::Kind::NoAnswer);
    }
}

// The port is open from the first frame until END's acknowledgement or the outcome.
void Transfer::onPortLost() {
    if (step_ != Step::Idle && step_ != Step::Waiting && step_ != Step::Storing) {
        fail(TransferFailure::Kind::PortLost);
    }
}

void Transfer::onStepDue() {
    switch (step_) {
        case Step::Pausing:
            if (settled()) {
                advance();
            }
            break;
        case Step::Settling:
            advance();
            break;
        case Step::Refused:
            resendOrGiveUp(TransferFailure::Kind::NoAnswer);
            break;
        case Step::Unchecked:
            resendOrGiveUp(TransferFailure::Kind::AnswersDiffer);
            break;
        case Step::Stopping:
            fail(TransferFailure::Kind::WrongModel);
            break;
        case Step::Idle:
        case Step::Waiting:
        case Step::Storing:
            countRest();
            break;
        case Step::AccessCode:
        case Step::Identify:
        case Step::ReadBlock:
        case Step::Backup:
        case Step::Gather:
        case Step::WriteBlock:
        case Step::End:
            break;
    }
}

bool Transfer::awaitsAnswer() const {
    switch (step_) {
        case Step::AccessCode:
        case Step::Identify:
        case Step::ReadBlock:
        case Step::WriteBlock:
        case Step::End:
            return true;
        default:
            return false;
    }
}

// An answer for another block is not the answer asked for, whatever it carries.
bool Transfer::answersRequest(const Frame& block) const {
    return isBlockAnswer(block) && blockAnswerAddress(block) == plan_[current_].address;
}

void Transfer::identified(const Identification& radio) {
    identification_ = radio;
    listener_.onIdentified(radio);
    if (settings_.model.empty() || radio.model == settings_.model) {
        moveOn();
        return;
    }
    timer_.stop();
    pause(Step::Stopping);
}

// A right checksum vouches for an answer. Without one, an answer is believed once the radio has
// said it twice: noise on the line never repeats itself exactly.
bool Transfer::checked(const Frame& block) {
    if (hasRightChecksum(block)) {
        return true;
    }
    Frame answer(block.begin(), block.begin() + kBlockAnswerThreshold);
    if (std::ranges::find(unchecked_, answer) != unchecked_.end()) {
        return true;
    }
    unchecked_.push_back(std::move(answer));
    return false;
}

// Only the answer to the block asked for is stored, so it lies within the memory.
void Transfer::storeBlock(const Frame& block) {
    const std::size_t first = blockOffset(blockAnswerAddress(block));
    assert(first + kBlockSize <= CalibrationRecord::kMemorySize);
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        image_.setByte(first + i, blockAnswerByte(block, i));
    }
}

// Nothing is written to a radio whose memory could not be kept: END closes the session.
void Transfer::keepBackup() {
    assert(kind_ == TransferKind::Write && step_ == Step::Pausing);
    step_ = Step::Backup;
    if (auto reason = backup_(image_, identification_)) {
        stopped_ = failureOf(TransferFailure::Kind::BackupFailed);
        stopped_->reason = std::move(*reason);
        current_ = plan_.size() - 1;
        send();
        return;
    }
    moveOn();
}

void Transfer::gather() {
    assert(kind_ == TransferKind::Write && step_ == Step::Pausing);
    step_ = Step::Gather;
    if (auto error = gather_(image_)) {
        // No block is built from a field that holds no value: END closes the session.
        stopped_ = failureOf(TransferFailure::Kind::InvalidField);
        stopped_->field = std::move(error);
        current_ = plan_.size() - 1;
        send();
        return;
    }
    for (Exchange& exchange : plan_) {
        if (exchange.step == Step::WriteBlock) {
            exchange.frame = writeBlockFrame(exchange.address, image_);
        }
    }
    moveOn();
}

void Transfer::pause(Step step) {
    step_ = step;
    steps_.schedule(static_cast<int>(kStepPause.count()));
}

void Transfer::moveOn() {
    timer_.stop();
    pause(Step::Pausing);
}

void Transfer::advance() {
    assert(current_ + 1 < plan_.size());
    ++current_;
    // After a lost identification it is asked again only when the model must be checked, or
    // when it is what the transfer is for.
    if (plan_[current_].step == Step::Identify && identificationLost_ && settings_.model.empty() &&
        kind_ != TransferKind::Identify) {
        ++current_;
    }
    if (plan_[current_].step == Step::Backup) {
        keepBackup();
    } else if (plan_[current_].step == Step::Gather) {
        gather();
    } else {
        send();
    }
}

// An acknowledgement names no block: after a block sent more than once, the radio may still
// acknowledge it a second time. The line is let go quiet for one answer window first; what came
// meanwhile is dropped with the next frame, so it is never taken for the next frame's answer.
bool Transfer::settled() {
    if (plan_[current_].step != Step::WriteBlock || resends_ == 0) {
        return true;
    }
    step_ = Step::Settling;
    steps_.schedule(AnswerTimer::kIntervalMs);
    return false;
}

void Transfer::refused() {
    timer_.stop();
    pause(Step::Refused);
}

void Transfer::resendOrGiveUp(TransferFailure::Kind whenSpent) {
    if (resends_ >= kResendLimit) {
        fail(whenSpent);
        return;
    }
    ++resends_;
    if (plan_[current_].step == Step::Identify) {
        identificationLost_ = true;
        current_ = 0;
    }
    step_ = plan_[current_].step;
    if (!port_.isOpen()) {
        if (auto reason = port_.open()) {
            fail(TransferFailure::Kind::ReopenFailed, std::move(*reason));
            return;
        }
    }
    transmit(plan_[current_]);
}

// The radio rests from here: the port is closed and no frame goes to the device until the rest
// is over. A write stopped before its blocks left nothing to store and is reported at once, as
// a read is.
void Transfer::endAcknowledged() {
    assert(step_ == Step::End);
    timer_.stop();
    port_.close();
    restEnd_ = steps_.now() + kRest;
    rests_.rest(device_, restEnd_);
    if (kind_ == TransferKind::Write && !stopped_ && !readingBack_) {
        step_ = Step::Storing;
        countRest();
        return;
    }
    end();
    restCounted_ = nextRestCount() > 0;
    report();
}

// Schedules the next count at the next whole second left; the whole seconds left, 0 when over.
int Transfer::nextRestCount() {
    const auto left = restEnd_ - steps_.now();
    if (left <= StepTimer::Clock::duration::zero()) {
        return 0;
    }
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(left);
    const auto toNext =
        std::chrono::ceil<std::chrono::milliseconds>(left - (seconds - std::chrono::seconds(1)));
    steps_.schedule(static_cast<int>(toNext.count()));
    return static_cast<int>(seconds.count());
}

// Once a second while the radio rests; at its end, what waited for it.
void Transfer::countRest() {
    if (const int seconds = nextRestCount(); seconds > 0) {
        listener_.onResting(step_ == Step::Storing ? RestKind::Storing : RestKind::Resting,
                            seconds);
        return;
    }
    if (restEnd_ != StepTimer::Clock::time_point{}) {
        rests_.restOver(device_, restEnd_);
    }
    switch (step_) {
        case Step::Waiting:
            open();
            break;
        case Step::Storing:
            readBack_ == ReadBack::Yes ? readBack() : finish();
            break;
        default:
            restCounted_ = false;
            listener_.onRestOver();
            break;
    }
}

// The radio holds what it stored once its rest is over. The session starts afresh, the
// identification included, as any read does.
void Transfer::readBack() {
    assert(kind_ == TransferKind::Write && !readingBack_ && !stopped_);
    readingBack_ = true;
    sent_ = image_;
    plan_ = readingAll();
    plan_.push_back({Step::End, 0, endFrame(), kSingleByteThreshold});
    current_ = 0;
    identificationLost_ = false;
    listener_.onReadBackStarted();
    open();
}

void Transfer::finish() {
    end();
    report();
}

// The outcome of a transfer that reached END's acknowledgement.
void Transfer::report() {
    if (stopped_) {
        listener_.onFailed(*stopped_);
        return;
    }
    switch (kind_) {
        case TransferKind::Read:
            listener_.onReadCompleted(image_);
            break;
        case TransferKind::Write:
            reportWrite();
            break;
        case TransferKind::Identify:
            listener_.onIdentifyCompleted(identification_);
            break;
    }
}

// Every byte of the memory is compared, the unheld ones too: the write sent them all.
void Transfer::reportWrite() {
    for (std::size_t offset = 0; readingBack_ && offset < CalibrationRecord::kMemorySize;
         ++offset) {
        if (image_.byte(offset) != sent_.byte(offset)) {
            TransferFailure failure = failureOf(TransferFailure::Kind::NotKept);
            failure.radio = identification_;
            failure.mismatch = WriteMismatch{.sent = sent_, .kept = image_};
            listener_.onFailed(failure);
            return;
        }
    }
    listener_.onWriteCompleted();
}

// A write stopped by a field ends with that field, however its END goes. The outcome comes
// last: the listener may start the next transfer from it.
void Transfer::fail(TransferFailure::Kind kind, std::string reason) {
    TransferFailure failure = failureOf(kind);
    failure.reason = std::move(reason);
    if (kind == TransferFailure::Kind::WrongModel) {
        failure.radio = identification_;
    } else if (kind == TransferFailure::Kind::AnswersDiffer) {
        failure.block = plan_[current_].address;
    }
    failure = stopped_.value_or(failure);
    end();
    listener_.onFailed(failure);
}

void Transfer::end() {
    step_ = Step::Idle;
    restCounted_ = false;
    timer_.stop();
    steps_.cancel();
    if (port_.isOpen()) {
        port_.close();
    }
}

}  // namespace qv
