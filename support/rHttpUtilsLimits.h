#pragma once

#include <QtGlobal>

// Every time limit and reply cap of the program's HTTP requests, in one place. Whatever a
// server sends is untrusted: a server that trickles a byte now and then, or that never stops
// sending, must not keep the program (or a scheduled batch run) waiting or growing for ever.
//
// Three clocks run for each request: the connection (up to the request being sent), every
// pause in the transfer (counted afresh from each sign of life), and the whole request with
// its redirects, which no trickle can stretch. A reply body is capped after inflation, so a
// small compressed body cannot unpack into gigabytes.

// Requests that name no limits of their own: the maker's server and the public proxy list.
inline constexpr int HttpConnectTimeoutMs = 15000;
inline constexpr int HttpReadTimeoutMs = 30000;
inline constexpr int HttpDeadlineMs = 60000;
// A reply kept in memory. The largest real one (a catalogue of scenarios or systems, a page of
// the proxy list) stays far below it.
inline constexpr qint64 HttpTextReplyLimit = 4 * 1024 * 1024;

// A download into a file (the self-update's configuration, descriptions and packages). The
// body goes to disk, never into memory; the caps keep a runaway server from filling the disk
// or holding the update check for ever.
inline constexpr int HttpFileDeadlineMs = 15 * 60 * 1000;
inline constexpr qint64 HttpFileReplyLimit = 128 * 1024 * 1024;

// The operator's results page of one 100-day window: about a hundred table rows.
inline constexpr int ResultsConnectTimeoutMs = 5000;
inline constexpr int ResultsReadTimeoutMs = 10000;
inline constexpr int ResultsDeadlineMs = 60000;
inline constexpr qint64 ResultsReplyLimit = 4 * 1024 * 1024;

// One reply of the maker's server (scenario library, systems exchange).
inline constexpr qint64 SwReplyLimit = 4 * 1024 * 1024;
inline constexpr int SwDeadlineMs = 60000;

// Redirects followed at most within one request.
inline constexpr int HttpMaxRedirects = 15;
