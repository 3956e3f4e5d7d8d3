// The texts of the application's message boxes (CP932).
#pragma once

extern const char kAlreadyRunning[];        // "既に起動しています。"
extern const char kThreadCreationFailed[];  // "スレッドの生成に失敗しました。"
extern const char kTimerCreationFailed[];   // "タイマーの生成に失敗しました。"
extern const char kUnknownTimerEvent[];     // "未知のタイマーイベントを検出しました。"
