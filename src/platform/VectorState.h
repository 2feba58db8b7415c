// The processor's wide vector registers as a thread leaves them. Code that uses their 256-bit
// form and does not clear their upper halves afterwards (some of Qt's start-up does) leaves every
// later scalar floating-point instruction of that thread, and of each thread started from it,
// waiting on those halves: maths such as pow runs many times slower until they are cleared.
#pragma once

// Clears the upper halves on processors that have them; nothing elsewhere. Cheap: call it before
// a long computation on a thread that may have inherited them in use.
void ClearVectorUpperHalves();
