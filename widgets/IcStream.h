// The instrument-control library on forms: its component classes in the
// class registry the form stream creates classes from (platform/TypInfo.h).
//
// A program that uses any class of the library has them registered before
// main runs: the unit that registers them also holds the classes' property
// tables, which every class of the library needs. Calling this again does
// nothing.
#pragma once

void RegisterIcClasses();
