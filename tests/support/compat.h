// The helpers' old namespace, kept while test files still name it.
#pragma once

namespace support {}

// A using-directive rather than an alias, so that files which reopen the old namespace
// still compile.
namespace lumaret::test {
using namespace ::support;
}  // namespace lumaret::test
