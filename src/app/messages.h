// The texts of the application's message boxes (CP932).
#pragma once

extern const char kAlreadyRunning[];        // "既に起動しています。"
extern const char kThreadCreationFailed[];  // "スレッドの生成に失敗しました。"
extern const char kTimerCreationFailed[];   // "タイマーの生成に失敗しました。"
extern const char kUnknownTimerEvent[];     // "未知のタイマーイベントを検出しました。"
extern const char kLimitsToCurrentQuestion[];  // "閾値を現在値で更新しますか？"
extern const char kLimitsToZeroQuestion[];     // "閾値を初期値で更新しますか？"
extern const char kDumpFailed[];               // "情報の出力に失敗しました。", the files' names follow
