#pragma once
// Runs a step whose failure must not reach the user: a group of the opening sequence, a focus move,
// the fiscal-code computation. Whoever needs what the step did fails on its own later.

#include <exception>

template<class Step>
void ignoringFailures(Step step)
{
    try {
        step();
    } catch (const std::exception &) {
    }
}
