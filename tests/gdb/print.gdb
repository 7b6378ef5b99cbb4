set pagination off
set print elements 20
break Inspect
run
up
print list
print words
print stack
print queue
print number
print text
print nothing
print node
print *words.ptr_
