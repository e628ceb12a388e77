// What every test on the headless front-end shares: a question the script
// does not answer fails the running test and names the question.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/ui/Headless.h"

namespace testsupport {

inline void FailOnUnansweredQuestions() {
  headless::OnUnansweredQuestion([](const std::string& what) { ADD_FAILURE() << "nobody answered " << what; });
}

}  // namespace testsupport
