// Fixture groups without windows: named sets of master-linked fixture channels with the
// pan/tilt references of the fixtures, made from the current links and linked again on
// recall. Groups are kept in `Groups` (the show's table, `GroupCount` equal in size).
#pragma once

#include "ShowModel.h"

#include <string>
#include <vector>

constexpr std::size_t MaxGroupName = 254;

// A new group "Group n" (n = count + 1) from the channels now in state 2, with the
// references of every fixture that has pan and tilt. False (nothing added) when no
// channel is linked.
bool AddGroupFromLinks();
// The fixtures with any channel in group g's membership layer, in fixture order.
std::vector<int> GroupMembers(int g);
// The k-th member of group g, -1 when there is none.
int FindGroupMember(int g, int k);
// Links exactly group g's channels again (held channels stay held) and restores the
// references of the fixtures with pan and tilt. Returns the first member, 0 when none.
int SelectGroup(int g);
// Takes fixture f out of group g: its membership bytes clear, its linked used channels go
// to 0. True when no member is left.
bool RemoveFixtureFromGroup(int g, int f);
// Removes group g; the table closes up.
bool RemoveGroup(int g);
// Stores a name, cut to 254 bytes (empty allowed).
bool RenameGroup(int g, const std::string &bytes);
GroupRecord *GroupAt(int g);
