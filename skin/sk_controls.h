#pragma once

// The skinned controls every window is built from. Each has a UIStyle (sk_styled.h): WinXP by
// default, Custom to keep its own properties, or another built-in theme of the theme table
// (sk_theme.h). The image button always draws its own pictures.
//
//   TskForm          frame of a borderless window with title bar; theme passes to its children
//   TskTitleBar      caption and buttons (skMax, skMin, skClose, skHelp, skControlBox, skCustom)
//   TskButton        QPushButton drawn from the BUTTON bitmaps
//   TskImageButton   PicNormal / PicMouseOn / PicMouseDown / PicDisabled
//   TskEdit          QLineEdit with a themed border
//   TskComboBox      QComboBox with themed border, button and arrow
//   TskGroupBox      QGroupBox with themed fill, border and caption colour
//   TskCheckBox      QCheckBox drawn from the CHECKBOX bitmaps
//   TskRadioButton   QRadioButton drawn from the RADIOBUTTON bitmaps, exclusive by groupIndex()
//   TskImagePanel    a picture on the form colour
//   TskTabControl    tab strip with one page per tab (addTab, page, currentChanged)
//   TskListView      QTreeWidget with a themed border
//   TskProgressBar   QProgressBar drawn from the PROGRESSBAR bitmaps
//   TskPopupMenu     owner-drawn QMenu (submenus included)
#include "skin/sk_button.h"
#include "skin/sk_check_box.h"
#include "skin/sk_combo_box.h"
#include "skin/sk_edit.h"
#include "skin/sk_form.h"
#include "skin/sk_group_box.h"
#include "skin/sk_image_button.h"
#include "skin/sk_image_panel.h"
#include "skin/sk_list_view.h"
#include "skin/sk_popup_menu.h"
#include "skin/sk_progress_bar.h"
#include "skin/sk_tab_control.h"
#include "skin/sk_title_bar.h"
