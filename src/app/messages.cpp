#include "app/messages.h"

const char kAlreadyRunning[] = "既に起動しています。";
const char kThreadCreationFailed[] = "スレッドの生成に失敗しました。";
const char kTimerCreationFailed[] = "タイマーの生成に失敗しました。";
const char kUnknownTimerEvent[] = "未知のタイマーイベントを検出しました。";
