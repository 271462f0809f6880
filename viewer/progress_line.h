// A progress line on standard error for work that runs long: frames done
// of the total, the time so far and the rate, redrawn in place. It shows
// only when standard error is a terminal and the work has run for about two
// seconds; a script that reads standard error sees nothing of it.
#pragma once

#include <chrono>
#include <string>

class Progress_Line {
public:
    // `what` names the work ("driver", "software reference").
    Progress_Line(std::string what, int total);
    ~Progress_Line();  // clears the line when it was shown
    Progress_Line(const Progress_Line&) = delete;
    Progress_Line& operator=(const Progress_Line&) = delete;

    void update(int done);

private:
    std::string what_;
    int total_;
    bool terminal_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_drawn_;
};
