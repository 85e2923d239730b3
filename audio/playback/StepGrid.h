// Where a playing song's steps fall in the mixer's frames: what a frame heard was playing.
#pragma once

#include "audio/AudioLayer.h"

#include <cstdint>

namespace tromel::audio {

// Where a run of the clock puts its first step: a step after the run begins, as the editor's step
// timer always has, or on the frame it begins, so that a rendered file starts with the song.
enum class FirstStep : int32_t { AtOnce = 0, OneStepIn = 1 };

// A run of the step clock from a start or resume until it next stands: step n (from 1) sounds at
// startFrame + stepFrame(n - 1 + first, tempo, rate). Its first countIn steps are a count-in; the next
// plays the play position after positionBefore, the loop wrapping from loopEnd to loopBegin + 1
// as playback does. Frames count the mixer's timeline, before the output's latency.
struct StepGrid {
    uint32_t run = 0;  // which start or resume began it; 0 for none
    int32_t positionBefore = 0;
    int64_t startFrame = 0;
    int32_t tempo = 0;
    int32_t loopBegin = 0;
    int32_t loopEnd = 0;
    int32_t countIn = 0;
    FirstStep first = FirstStep::OneStepIn;
    int32_t rate = outputRate;  // the mixer's frames a second

    // The frame at which step n (from 1) of the run sounds.
    int64_t frameOf(int64_t n) const;

    // Whether step n of the run is one of the count-in's, before the song plays.
    bool countsIn(int64_t n) const { return n <= countIn; }
    // The play position (file step + 1) of step n of the run after the count-in.
    int32_t positionOf(int64_t n) const;
    // The step of the run nearest to a frame (the first step for frames before it).
    int64_t nearestStep(int64_t frame) const;
    // A time between two frames in steps, to the nearest whole step and at least 1.
    int32_t stepsBetween(int64_t fromFrame, int64_t toFrame) const;
};

}  // namespace tromel::audio
