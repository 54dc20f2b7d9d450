/* Every text of the settings dialog and of the saver's message boxes, in Japanese and in
   English side by side: the dialog's template in its order, then the string table. Each is
   IN_LANGUAGE(japanese, english), and whoever includes this defines IN_LANGUAGE: texts.rc once
   per language, the tests to read both. The one text of the dialog that is not here is the
   version line above the credit: the code makes it of the file's version numbers, the same in
   both languages, by VERSION_LINE_FORMAT (config_dialog/portable/version_numbers.h).
   A new text is one line here and its place in texts_layout.rc: a control's text in the
   template; a text the code loads by number also an IDS_ line in resource_ids.h and a line of
   the string table.
   The Japanese texts are the ones a Japanese system has always shown, the half-width ｷｬﾝｾﾙ,
   the ideographic spaces and the full-width colons included. UTF-8; plain defines, so that
   windres reads it too. */
#pragma once

/* The settings dialog. English dialogs take the system's dialog font by its alias. */
#define DIALOG_FONT_SIZE IN_LANGUAGE(9, 8)
#define DIALOG_FONT IN_LANGUAGE("ＭＳ Ｐゴシック", "MS Shell Dlg")
#define TEXT_DIALOG_TITLE \
    IN_LANGUAGE("velorandixデスクトップアクセサリ用スクリーンセーバーランチャー", \
                "velorandix Screen Saver Launcher")
#define TEXT_OK IN_LANGUAGE("OK", "OK")
#define TEXT_CANCEL IN_LANGUAGE("ｷｬﾝｾﾙ", "Cancel")
#define TEXT_ACCESSORY_FRAME \
    IN_LANGUAGE("velorandixデスクトップアクセサリ本体 (設定必須)", \
                "velorandix desktop accessory (required)")
#define TEXT_ACCESSORY_LABEL \
    IN_LANGUAGE("※使用するvelorandix.exeを指定してください", "Choose the velorandix.exe to run:")
/* The browse buttons of both paths. */
#define TEXT_BROWSE IN_LANGUAGE("...", "...")
#define TEXT_SAVER_FRAME IN_LANGUAGE("スクリーンセーバーの設定", "Screen saver settings")
/* Replaced by the version and the credit as the dialog opens. */
#define TEXT_VERSION_PLACEHOLDER \
    IN_LANGUAGE("ああああああああああああ\nああああああああああああ", "Version\nCredit")
#define TEXT_COLOR_LABEL IN_LANGUAGE("背景色　：", "Color:")
#define TEXT_COLOR_CHANGE IN_LANGUAGE("背景色の変更", "Change...")
#define TEXT_PLAYLIST_LABEL IN_LANGUAGE("BGM　：", "Music:")
#define TEXT_PLAYLIST_HINT IN_LANGUAGE("↓空欄ならBGM無し", "Empty: no music")
#define TEXT_COLOR_SWATCH IN_LANGUAGE("　", " ")
/* The label of the play order's drop-down list; its items are in the string table. */
#define TEXT_PLAY_ORDER_LABEL IN_LANGUAGE("再生順　：", "Order:")
/* The music's volume (a trackbar beside its label) and its gentle start (a check box). */
#define TEXT_VOLUME_LABEL IN_LANGUAGE("音量　：", "Volume:")
#define TEXT_FADE_IN IN_LANGUAGE("だんだん大きく", "Fade in")
/* The line under the version in control 1007. The English one is shorter: an English system's
   dialog font, Tahoma, is wider than the Japanese one. */
#define TEXT_VERSION_CREDIT \
    IN_LANGUAGE("(c) 2026 velora_ss_launcher developers", "(c) 2026 velora_ss_launcher team")

/* The string table. */
#define TEXT_MISSING_ACCESSORY \
    IN_LANGUAGE("設定が不完全です。\n設定を開きvelorandix.exeの場所を指定する必要があります。", \
                "The settings are incomplete.\nOpen the settings and choose where " \
                "velorandix.exe is.")
#define TEXT_MISSING_ACCESSORY_CAPTION \
    IN_LANGUAGE("velora_v010用スクリーンセーバーLauncher", "velora_v010 Screen Saver Launcher")
/* An OK whose save failed: this, the settings file's full path, then the advice. The second
   one where some keys were written and others were not. */
#define TEXT_SAVE_FAILED \
    IN_LANGUAGE("設定を保存できませんでした。\n\n設定ファイル:\n", \
                "The settings could not be saved.\n\nSettings file:\n")
#define TEXT_SAVE_PARTLY_FAILED \
    IN_LANGUAGE("設定の一部しか保存できませんでした。\n\n設定ファイル:\n", \
                "Only some of the settings could be saved.\n\nSettings file:\n")
#define TEXT_SAVE_FAILED_ADVICE \
    IN_LANGUAGE("\n\nこのスクリーンセーバー（.scr ファイル）を書き込みできるフォルダ" \
                "（例: マイ ドキュメントの中）に置き、そこからインストールして設定し直してくだ" \
                "さい。", \
                "\n\nPut this screen saver (the .scr file) in a folder you can write to, such " \
                "as one in Documents, then install it from there and set it up again.")
/* A file chosen in a file-open dialog whose path the ANSI code page cannot hold and which has
   no short name: this, the path, then the advice. The former setting stays. */
#define TEXT_UNUSABLE_PATH \
    IN_LANGUAGE("このファイルは設定できません:\n\n", "This file cannot be used:\n\n")
#define TEXT_UNUSABLE_PATH_ADVICE \
    IN_LANGUAGE("\n\nパスに、「Unicode 対応ではないプログラムの言語」で表せない文字があり、" \
                "短い名前 (8.3 形式) もありません。その文字を含まない名前に変えるか、そのような" \
                "フォルダーに移してから、選び直してください。設定は前のままです。", \
                "\n\nIts path has characters that do not exist in the language set for " \
                "non-Unicode programs, and Windows keeps no short (8.3) name for it. Rename it, " \
                "or move it to a folder whose name has none of them, and choose it again. The " \
                "former setting is kept.")
/* The file-open dialogs: their titles, and the names of their one file type. */
#define TEXT_ACCESSORY_DIALOG_TITLE \
    IN_LANGUAGE("velorandix.exeを選択してください", "Choose velorandix.exe")
#define TEXT_ACCESSORY_FILE_TYPE IN_LANGUAGE("velorandix.exe", "velorandix.exe")
#define TEXT_PLAYLIST_DIALOG_TITLE \
    IN_LANGUAGE("m3u形式のプレイリストを選択してください", "Choose an M3U playlist")
#define TEXT_PLAYLIST_FILE_TYPE \
    IN_LANGUAGE("m3u files {*.m3u;*.m3u8}", "M3U playlists (*.m3u;*.m3u8)")
/* The play order's drop-down list, in the order of the setting's values 0, 1 and 2. */
#define TEXT_PLAY_ORDER_FIRST IN_LANGUAGE("最初から", "From the start")
#define TEXT_PLAY_ORDER_CONTINUE IN_LANGUAGE("続きから", "Resume")
#define TEXT_PLAY_ORDER_SHUFFLE IN_LANGUAGE("シャッフル", "Shuffle")
/* The line under the playlist's path: what the saver would find in it. Each %d is a number of
   tracks: all of them, then those whose file is missing. */
#define TEXT_PLAYLIST_ONE_TRACK IN_LANGUAGE("%d 曲", "%d track")
#define TEXT_PLAYLIST_TRACKS IN_LANGUAGE("%d 曲", "%d tracks")
#define TEXT_PLAYLIST_MISSING_TRACKS \
    IN_LANGUAGE("%d 曲（%d 曲が見つかりません）", "%d tracks (%d not found)")
#define TEXT_PLAYLIST_NO_TRACK IN_LANGUAGE("再生できる曲がありません", "No playable tracks")
#define TEXT_PLAYLIST_UNREADABLE IN_LANGUAGE("プレイリストを読めません", "Cannot read the playlist")
