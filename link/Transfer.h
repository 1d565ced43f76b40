#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "link/AnswerTimer.h"
#include "link/Frames.h"
#include "link/Pause.h"
#include "link/RadioSettings.h"
#include "link/SerialPort.h"
#include "link/TransferObserver.h"
#include "record/CalibrationRecord.h"
#include "record/FieldRecord.h"
#include "record/FieldTexts.h"
#include "shell/Notices.h"

namespace qv {

// Values of TransferMode.
inline constexpr std::int16_t kIdle = 0;
inline constexpr std::int16_t kReading = 1;
inline constexpr std::int16_t kWriting = 2;

// Values of ReadStep and WriteStep.
inline constexpr std::int16_t kStepAccessCodeSent = 1;
inline constexpr std::int16_t kReadStepBlocks = 3;
inline constexpr std::int16_t kWriteStepLastRead = 4;
inline constexpr std::int16_t kWriteStepBlocks = 6;
inline constexpr std::int16_t kWriteStepIdentify = 20;
inline constexpr std::int16_t kWriteStepRead6000 = 21;
inline constexpr std::int16_t kWriteStepRead6010 = 22;
inline constexpr std::int16_t kWriteStepRead6020 = 23;
inline constexpr std::int16_t kWriteStepRead6030 = 24;
inline constexpr std::int16_t kWriteStepRead6060 = 25;
inline constexpr std::int16_t kWriteStepStopped = 68;
inline constexpr std::int16_t kStepEndSent = 69;
inline constexpr std::int16_t kStepModelError = 70;

inline constexpr std::int16_t kBlockAddressBetweenTransfers = 0x5FF0;
inline constexpr std::int16_t kLastBlockAddress = 0x6074;
inline constexpr int kBlockCount = 8;
inline constexpr int kResendLimit = 3;
inline constexpr int kStepPauseMs = 10;
inline constexpr int kEndPauseMs = 3000;

inline constexpr const char* kCannotOpenPort = "Cannot Open Communication Port.";
inline constexpr const char* kCommunicationError = "Communication Error!";
inline constexpr const char* kResendError = "comm error";
inline constexpr const char* kReadComplete = "Read Complete!";
inline constexpr const char* kWriteComplete = "Write Complete!";
inline constexpr const char* kModelErrorEnglish = "Model Type or Frequency Range Error!";
inline constexpr const char* kModelErrorChinese = "机型或频段错误!";
inline constexpr const char* kPortLost =
    "The connection to the radio was lost: the cable was unplugged or the port went away. "
    "The transfer has stopped.";
inline constexpr const char* kWriteStopped = "Nothing was written to the radio.";

// Values of languageId.
inline constexpr std::int16_t kLanguageEnglish = 1;
inline constexpr std::int16_t kLanguageChinese = 2;

struct TransferState {
    std::int16_t TransferMode = kIdle;
    std::int16_t ReadStep = 0;
    std::int16_t WriteStep = 0;
    std::int16_t LastAckStep = 0;
    std::int16_t BlockAddress = kBlockAddressBetweenTransfers;
    std::int16_t RetryCount = 0;
    Frame LastFrame;
    int LastFrameThreshold = 0;
    bool EndPending = false;
};

// One read of the radio's calibration memory into the calibration record, or one write of
// it, advanced one received block or one answer-timer tick at a time.
class Transfer {
public:
    Transfer(SerialPort& port, AnswerTimer& timer, Pause& pause, Notices& notices,
             FieldTexts& texts, CalibrationRecord& record, FieldRecord& fieldRecord);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    void setRadioSettings(RadioSettings settings) { settings_ = std::move(settings); }
    void setLanguageId(std::int16_t languageId) { languageId_ = languageId; }
    void setObserver(TransferObserver* observer) { observer_ = observer; }

    // Open the port on the device and send the access code; a transfer already running is
    // abandoned. False (after the open failure was shown) when the port cannot be had.
    bool startRead(const std::string& devicePath);
    bool startWrite(const std::string& devicePath);

    bool openCommPort(const std::string& devicePath);
    void closeCommPort();

    void handleReceivedBytes(const Frame& block);
    void WaitTimer_Timer();
    void handlePortLost();

    const TransferState& state() const { return state_; }

private:
    std::int16_t& currentStep();
    void advanceStep(bool acknowledged);
    void handleRefusal();
    void performReadStep();
    void performWriteStep();
    void sendPreparationRead(std::int16_t nextStep, std::uint16_t address);
    void gatherAndWrite();
    void checkIdentification(const Frame& block);
    bool modelUnchecked() const;
    void acceptEndAck();
    void retryOrGiveUp();

    void sendAccessCode();
    void sendIdentifyRequest();
    void sendReadRequest(std::uint16_t address);
    void sendNextReadRequest();
    void sendNextWriteBlock();
    void sendEnd();
    void resendLastFrame();
    void transmitFrame(const Frame& frame, int threshold);
    void saveFrame(const Frame& frame, int threshold);
    bool reopenPort();

    void storeBlock(const Frame& block);
    bool answersLastReadRequest(const Frame& block) const;
    void keepRadioBytes(const Frame& block);

    void finishRead();
    void finishWrite();
    void stopWrite();
    void showModelError();
    void endTransfer();

    SerialPort& port_;
    AnswerTimer& timer_;
    Pause& pause_;
    Notices& notices_;
    FieldTexts& texts_;
    CalibrationRecord& record_;
    FieldRecord& fieldRecord_;
    TransferObserver* observer_ = nullptr;
    RadioSettings settings_;
    std::int16_t languageId_ = kLanguageEnglish;
    TransferState state_;
    // Until a read has completed, the record's bytes that no field holds are not the radio's.
    bool readCompleted_ = false;
    bool keepUnheldBytes_ = false;
    bool identified_ = false;
    std::string writeStopReason_;
};

}  // namespace qv
