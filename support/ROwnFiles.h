#pragma once

#include <QString>

#include <functional>

// The files the program keeps beside itself, known in one place: every writer that could reach
// them asks here (the save dialogs, the update's copy and its delete lists), so that none of
// them replaces what the player's data lives in.

enum class TOwnFileKind {
    None,          // not the program's
    // Of a kind the player keeps under names of his own: scenarios (".lsc"), combination lists
    // (".lcv"), CSV files, favourites lists (".flt"), export settings (".exp"), prefetch files.
    PlayerNamed,
    // Kept for the player at a name the program fixes: the archive, stakes, ratings, settings,
    // window state, favourites, regular stakes, current scenario, stakes and scenario logs, the
    // update's downloads, and the folders Prefetchs/, Systems/ and SelfUpdate/ with all in them.
    Player,
    // What an update rightly brings: the program file, language modules, help files.
    Update,
};

// The kind of a path relative to the program's folder ("Tavrix2_2r10.ldr", "Prefetchs/a.dfc"),
// letter case ignored. A file's temporary, journal and backup copies (its name followed by more
// extensions: ".~sav", ".bak2", ".~chk") are of its kind. The data files are named after the
// program ("Tavrix2_2r10") and after the running program file, should it be renamed.
TOwnFileKind OwnFileKind(const QString& relativePath);

// True for the player's files of both kinds (Player, PlayerNamed).
bool IsPlayerFile(const QString& relativePath);

// True when path names a file that the program keeps at a fixed name in its folder (Player or
// Update kind, or the temporary or backup copy an installation makes of one: "name.tmp",
// "name.~ext"), or anything in the program's own folders. The folder is compared by its
// canonical path, so another way to the same folder counts too; a name chosen elsewhere that is
// a link counts as what it points to. Names the player chooses freely stay writable.
bool IsProgramKeptPath(const QString& path);

// Asks for the name of a file to write with ask, which gets the name to start from and gives the
// answer (false: cancelled), until the answer is not a file the program keeps
// (IsProgramKeptPath). Each refused name is told in an error box and the question asked again
// from it; the same name refused twice in a row cancels, so an answer that never changes cannot
// hold the question for ever. fileName is the start, and the answer on true.
bool AskWritableFileName(const std::function<bool(QString& fileName)>& ask, QString& fileName);
