#pragma once
// The process-wide objects (UI configuration, profile, option tables, job record) live in
// different files, and C++ leaves the order of their construction before main to the
// linker. Each is ranked here instead: they are built in rank order and destroyed in
// reverse, so the job record goes first and the profile is written after everything that
// might still change it. GCC and Clang (also MinGW) honour init_priority; MSVC builds the
// configuration file's objects in its "lib" segment, before the others.
#if defined(__GNUC__)
#define KALO_PROCESS_OBJECT(rank) __attribute__((init_priority(rank)))
#else
#define KALO_PROCESS_OBJECT(rank)
#endif

// Ranked objects are built before the unranked ones, the standard streams among them:
// the file that builds the first ranked object starts the streams at this rank first.
#define KALO_RANK_STANDARD_STREAMS 1000
#define KALO_RANK_UI_CONFIG 1001
#define KALO_RANK_PROFILE 1002
#define KALO_RANK_OPTION_TABLES 1003
#define KALO_RANK_JOB_RECORD 1004
