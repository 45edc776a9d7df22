/* Dispatch ids of the movie control's automation surface. Shared by moviestandin.idl and the
   C++ code, so it stays plain preprocessor text. The first six and the event are the
   player control's own ids; the initial-property ids are ours. */
#ifndef ZB_STANDIN_DISPIDS_H
#define ZB_STANDIN_DISPIDS_H

#define ZB_DISPID_PLAY 112
#define ZB_DISPID_LOADMOVIE 142
#define ZB_DISPID_FSCOMMAND 150
#define ZB_DISPID_GETVARIABLE 152
#define ZB_DISPID_FLASHVARS 170
#define ZB_DISPID_CALLFUNCTION 198
#define ZB_DISPID_ALLOWFULLSCREEN 202

#define ZB_DISPID_WMODE 1001
#define ZB_DISPID_QUALITY 1002
#define ZB_DISPID_SCALE 1003
#define ZB_DISPID_ALLOWNETWORKING 1004

#endif
