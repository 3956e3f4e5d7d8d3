#include "app/messages.h"

const char kAlreadyRunning[] = "既に起動しています。";
const char kThreadCreationFailed[] = "スレッドの生成に失敗しました。";
const char kTimerCreationFailed[] = "タイマーの生成に失敗しました。";
const char kUnknownTimerEvent[] = "未知のタイマーイベントを検出しました。";
const char kLimitsToCurrentQuestion[] = "閾値を現在値で更新しますか？";
const char kLimitsToZeroQuestion[] = "閾値を初期値で更新しますか？";
const char kDumpFailed[] = "情報の出力に失敗しました。";

const char* const kStateWords[4] = {"正常", "注意", "危険", "異常"};
const char kHotWord[] = "高温";
const char kWorseBalloonTitle[] = "ドライブの状態が悪化しました。";
const char kHotBalloonTitle[] = "ドライブの温度が閾値を超えました。";
