#pragma once
// Test mode: nothing is put in front of a user. Message boxes, file dialogs and modal windows answer
// from what the test queued, and a request that finds nothing queued stops the test program with a
// fatal error naming it, instead of waiting for a user who is not there.

void setTestMode(bool on);
bool inTestMode();
