// Member paths as extraction sees them: what is split where, what is
// refused, which patterns choose which members, and the switches e and x
// take.
#include <gtest/gtest.h>

#include "lzh/extraction.h"
#include "lzh/status.h"

namespace kb::lzh {
namespace {

TEST(MemberPaths, SplitOnSingleByteSeparatorsOnly) {
  struct Case {
    const char* stored;
    std::vector<std::string> folders;
    const char* file;
  } cases[] = {
      {"a.txt", {}, "a.txt"},
      {"sub\\deep\\a.txt", {"sub", "deep"}, "a.txt"},
      {"\x95\x5C\\\x83\x5C.txt", {"\x95\x5C"}, "\x83\x5C.txt"},  // 表\ソ.txt: trail bytes 0x5C
      {"\x95\x5C", {}, "\x95\x5C"},
      {".\\a\\\\b\\.\\c", {"a", "b"}, "c"},
      {"dir\\", {"dir"}, ""},
      {"x\\.", {"x"}, ""},
      {"a/b\\c", {"a", "b"}, "c"},
  };
  for (const Case& c : cases) {
    MemberPath p = CheckMemberPath(c.stored);
    EXPECT_EQ(p.refusal, "") << c.stored;
    EXPECT_EQ(p.folders, c.folders) << c.stored;
    EXPECT_EQ(p.file, c.file) << c.stored;
  }
}

TEST(MemberPaths, WhatCouldLeaveTheTargetOrNeverBeAFileIsRefused) {
  const char* const refused[] = {
      "",           "\\abs.txt",  "\\\\server\\share\\x", "C:\\x.txt",  "C:x.txt",     "..\\x",
      "a\\..\\x",   "a\\..",      "...\\x",               ".. \\x",     "a\\b:stream", "nul",
      "CON.txt",    "lpt1",       "com9.log",             "a\\aux\\b",  "a|b",         "a<b",
      "a\"b",       "a?b",        "a*b",                  "tab\tname",  "x\\\x81",     "\x81\x20.txt",
      "\xFD.txt",   "\x83\x3F",  // a trail byte below 0x40
      "../x",       "a/../../x",  "/etc/x",               "//server/x",
  };
  for (const char* stored : refused) EXPECT_NE(CheckMemberPath(stored).refusal, "") << stored;
  // Lookalikes that are plain names: a trail byte 0x7C ('|') is no such
  // character, and "com10" or "connect" are no devices.
  for (const char* stored : {"\x83\x7C.txt", "com10", "connect.txt", "a..b", ".hidden", "..x"}) {
    EXPECT_EQ(CheckMemberPath(stored).refusal, "") << stored;
  }
}

TEST(MemberPatterns, NameOrWholePathWithoutCase) {
  struct Case {
    const char* stored;
    const char* pattern;
    bool matches;
  } cases[] = {
      {"sub\\a.TXT", "*.txt", true},    {"sub\\a.txt", "a.*", true},       {"sub\\a.txt", "sub\\*", true},
      {"sub\\a.txt", "sub/a.txt", true}, {"other\\a.txt", "sub\\*", false}, {"a.txt", "?.txt", true},
      {"ab.txt", "?.txt", false},        {"\x95\x5C.txt", "?.txt", true},   {"\x95\x5C.txt", "\x95\x5C*", true},
      {"\x83\x41", "\x83\x61", false},  // trail bytes that look like A and a
      {"a.txt", "*", true},              {"a.txt", "b*", false},             {"x\\y\\z.c", "x\\*\\z.c", true},
      {"a/b.c", "a\\b.c", true},         {"abcabd", "*ab?", true},           {"abcabd", "*abc", false},
      {"\x95\x5C\x95\x5C", "*\\*", false},  // 表表: its trail bytes are no separators
  };
  for (const Case& c : cases) EXPECT_EQ(MatchesMemberPattern(c.stored, c.pattern), c.matches) << c.stored << " " << c.pattern;
  // Many stars against a long name that almost matches: answered at once,
  // not after trying every way to share the name among the stars.
  EXPECT_FALSE(MatchesMemberPattern(std::string(5000, 'a'), std::string(40, '*') + std::string(20, 'a') + "b"));
}

TEST(MemberPatterns, ExtractionSwitchesAndTarget) {
  Command c = ParseCommandLine("x -c -m1 -x0 -n arc.lzh D: *.txt");
  EXPECT_EQ(c.switches, (std::vector<std::string>{"-c", "-m1", "-x0", "-n"}));
  EXPECT_EQ(c.baseFolder, "D:");
  EXPECT_EQ(c.files, std::vector<std::string>{"*.txt"});
  EXPECT_EQ(ParseCommandLine("e arc \"C:\\表\\\" a").baseFolder, "C:\\表\\");
  for (const char* line : {"a -c arc.lzh x", "a -x arc.lzh x", "e -c2 arc.lzh", "x -xy arc.lzh", "l -c arc.lzh"}) {
    try {
      ParseCommandLine(line);
      ADD_FAILURE() << line;
    } catch (const LzhError& e) {
      EXPECT_EQ(e.status(), Status::kBadCommand) << line;
    }
  }
}

}  // namespace
}  // namespace kb::lzh
