# The core of the program: the libraries that hold its logic and need no window. They link only
# Qt Core, Sql and Network (with zlib, iconv and SQLite), so that the command line, the tests and
# any other front can use them; the windows live in the libraries above them. A core library that
# comes to link a GUI module, directly or through another library, stops the configuration.
set(VK_CORE_TARGETS
    vk_platform vk_db vk_backup vk_codetables vk_checks vk_csv vk_institution vk_purchase
    vk_export vk_overview vk_transmission vk_toolsmenu vk_command_names vk_commands velkor_commands)
set(VK_GUI_MODULES Qt6::Gui Qt6::Widgets Qt6::PrintSupport Qt6::Charts Cups::Cups)

# The targets a target links, directly and through the libraries it links.
function(vk_linked_targets target result)
    set(seen ${${result}})
    get_target_property(direct ${target} LINK_LIBRARIES)
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    foreach(library IN LISTS direct interface)
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" library "${library}")
        if(NOT TARGET ${library} OR library IN_LIST seen)
            continue()
        endif()
        get_target_property(aliased ${library} ALIASED_TARGET)
        if(aliased)
            set(library ${aliased})
        endif()
        list(APPEND seen ${library})
        vk_linked_targets(${library} seen)
    endforeach()
    set(${result} ${seen} PARENT_SCOPE)
endfunction()

# Stops the configuration when one of the targets links a GUI module or the application library,
# directly or through another library.
function(vk_check_without_gui)
    set(gui vk_app)
    foreach(module IN LISTS VK_GUI_MODULES)
        if(TARGET ${module})
            get_target_property(aliased ${module} ALIASED_TARGET)
            list(APPEND gui ${module} ${aliased})
        endif()
    endforeach()
    foreach(target IN LISTS ARGN)
        set(linked "")
        vk_linked_targets(${target} linked)
        foreach(library IN LISTS linked)
            if(library IN_LIST gui)
                message(FATAL_ERROR "${target} links ${library}, a GUI module or the application")
            endif()
        endforeach()
    endforeach()
endfunction()

function(vk_check_core_targets)
    vk_check_without_gui(${VK_CORE_TARGETS})
endfunction()
