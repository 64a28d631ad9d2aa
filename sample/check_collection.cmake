# Every topic folder must hold 1.jpg/1.txt, 2.jpg/2.txt, ... without gaps, or the program
# would show a picture without its description, or stop short of the pictures after a gap.
#
#   cmake -DCOLLECTION=<dir> -DFOLDERS=Maps,Sett,... -P check_collection.cmake

string(REPLACE "," ";" folders "${FOLDERS}")
set(problems)
foreach(folder IN LISTS folders)
    file(GLOB files RELATIVE "${COLLECTION}/${folder}" "${COLLECTION}/${folder}/*.jpg"
        "${COLLECTION}/${folder}/*.txt")
    set(numbers)
    foreach(name IN LISTS files)
        if(name MATCHES "^([1-9][0-9]*)\\.(jpg|txt)$")
            list(APPEND numbers ${CMAKE_MATCH_1})
        endif()
    endforeach()
    list(REMOVE_DUPLICATES numbers)
    list(LENGTH numbers count)
    if(count EQUAL 0)
        list(APPEND problems "${folder}: empty")
    endif()
    foreach(n RANGE 1 ${count})
        if(count EQUAL 0)
            break()
        endif()
        foreach(ext jpg txt)
            if(NOT EXISTS "${COLLECTION}/${folder}/${n}.${ext}")
                list(APPEND problems "${folder}/${n}.${ext} missing")
            endif()
        endforeach()
    endforeach()
endforeach()
if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "The sample collection in ${COLLECTION} is incomplete:\n  ${text}\n"
        "Each topic folder needs N.jpg and N.txt for every N from 1 up, without gaps.")
endif()
