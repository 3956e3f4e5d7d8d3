#include "app/messages.h"

const char kAlreadyRunning[] = "既に起動しています。";
const char kThreadCreationFailed[] = "スレッドの生成に失敗しました。";
const char kTimerCreationFailed[] = "タイマーの生成に失敗しました。";
const char kUnknownTimerEvent[] = "未知のタイマーイベントを検出しました。";
const char kLimitsToCurrentQuestion[] = "閾値を現在値で更新しますか？";
const char kLimitsToZeroQuestion[] = "閾値を初期値で更新しますか？";
const char kDumpFailed[] = "情報の出力に失敗しました。";
