// GoogleTest checks of jet::Result and jet::Status that show the failure's number and text.
#pragma once

#include <gtest/gtest.h>

// The message is only evaluated when the check fails, so error() is never called on a success.
#define LUMARET_RESULT_MESSAGE_(r) \
  (r).error().number << " " << (r).error().description << " (" << (r).error().where << ")"
#define LUMARET_CHECK_OK_(expr, check)                               \
  do {                                                               \
    const auto& lumaret_ok_ = (expr);                                \
    check(lumaret_ok_.ok()) << LUMARET_RESULT_MESSAGE_(lumaret_ok_); \
  } while (0)
#define ASSERT_OK(expr) LUMARET_CHECK_OK_(expr, ASSERT_TRUE)
#define EXPECT_OK(expr) LUMARET_CHECK_OK_(expr, EXPECT_TRUE)

// Checks that `expr` failed with the given jet error number.
#define EXPECT_ERROR(expr, expected_number)                                                          \
  do {                                                                                               \
    const auto& lumaret_err_ = (expr);                                                               \
    if (lumaret_err_.ok())                                                                           \
      ADD_FAILURE() << #expr " succeeded; expected error " << (expected_number);                     \
    else                                                                                             \
      EXPECT_EQ(lumaret_err_.error().number, (expected_number)) << lumaret_err_.error().description; \
  } while (0)
