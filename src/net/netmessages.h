// The texts of the status service's message boxes (CP932).
#pragma once

extern const char kSocketLibraryLoadFailed[];    // "ソケットライブラリの読み込みに失敗しました。"
extern const char kSocketLibraryStartFailed[];   // "ソケットライブラリの生成に失敗しました。"
extern const char kServerThreadFailed[];         // "スレッドの生成に失敗しました。"
extern const char kServerBindFailed[];           // "サーバソケットのバインドに失敗しました。"
extern const char kServerSelectFailed[];         // "サーバソケットのセレクトに失敗しました。"
extern const char kClientBindFailed[];           // "クライアントソケットのバインドに失敗しました。"
extern const char kClientSendFailed[];           // "クライアントソケットの送信に失敗しました。"
extern const char kUnknownCommand[];             // "未知のコマンドを受信しました。"
extern const char kServerAddressInvalid[];  // "[Server] Address の値が正しくありません。すべてのアドレスで待ち受けます。"
extern const char kServerAllowInvalid[];    // "[Server] Allow の値が正しくありません。ループバックとプライベートアドレスにだけ応答します。"
