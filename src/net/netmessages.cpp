#include "net/netmessages.h"

const char kSocketLibraryLoadFailed[] = "ソケットライブラリの読み込みに失敗しました。";
const char kSocketLibraryStartFailed[] = "ソケットライブラリの生成に失敗しました。";
const char kServerThreadFailed[] = "スレッドの生成に失敗しました。";
const char kServerBindFailed[] = "サーバソケットのバインドに失敗しました。";
const char kServerSelectFailed[] = "サーバソケットのセレクトに失敗しました。";
const char kClientBindFailed[] = "クライアントソケットのバインドに失敗しました。";
const char kClientSendFailed[] = "クライアントソケットの送信に失敗しました。";
const char kUnknownCommand[] = "未知のコマンドを受信しました。";
const char kServerAddressInvalid[] = "[Server] Address の値が正しくありません。すべてのアドレスで待ち受けます。";
const char kServerAllowInvalid[] = "[Server] Allow の値が正しくありません。ループバックとプライベートアドレスにだけ応答します。";
