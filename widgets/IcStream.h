// The instrument-control library on forms: its component classes in the
// class registry the form stream creates classes from (platform/TypInfo.h).
//
// A program that uses any component or settings class of the library has
// them registered before main runs: the unit that registers them also holds
// the classes' property tables, which every such class refers to, so the
// linker always brings it along. Calling this again does nothing.
#pragma once

void RegisterIcClasses();
