// The texts of the application's message boxes (CP932).
#pragma once

extern const char kAlreadyRunning[];        // "既に起動しています。"
extern const char kThreadCreationFailed[];  // "スレッドの生成に失敗しました。"
extern const char kTimerCreationFailed[];   // "タイマーの生成に失敗しました。"
extern const char kUnknownTimerEvent[];     // "未知のタイマーイベントを検出しました。"
extern const char kLimitsToCurrentQuestion[];  // "閾値を現在値で更新しますか？"
extern const char kLimitsToZeroQuestion[];     // "閾値を初期値で更新しますか？"
extern const char kDumpFailed[];               // "情報の出力に失敗しました。", the files' names follow

// The tray's words on the drives.
extern const char* const kStateWords[4];  // "正常", "注意", "危険", "異常": good, caution, danger, error
extern const char kHotWord[];             // "高温": hotter than the threshold
extern const char kWorseBalloonTitle[];   // "ドライブの状態が悪化しました。"
extern const char kHotBalloonTitle[];     // "ドライブの温度が閾値を超えました。"
